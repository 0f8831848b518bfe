#pragma once
// The real desktop program: one SDL window with the menu bar drawn above a 640 x 480 picture,
// or the picture scaled to the whole screen with the menu bar over its top edge.
#include <SDL.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/screen.h"
#include "platform/platform.h"
#include "platform/sdl/input_dialog_widget.h"
#include "platform/sdl/menu_bar_widget.h"
#include "platform/sdl/message_box_widget.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_cursors.h"

namespace velmio {

class SdlPlatform final : public Platform {
 public:
  static constexpr int kPictureWidth = kScreenWidth;
  static constexpr int kPictureHeight = kScreenHeight;

  // Opens the display and creates the window, hidden until ShowWindow. Null, with the reason in
  // `error`, when there is no display to open.
  static std::unique_ptr<SdlPlatform> Open(std::string& error);
  ~SdlPlatform() override;

  uint32_t Milliseconds() override { return SDL_GetTicks(); }
  void CollectEvents(MessageQueue& queue) override;
  void Idle(uint32_t timeout, WaitKind kind) override;
  void YieldSlice() override { RenderIfNeeded(); }
  MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view title, MessageBoxStyle style) override;
  void Present(const uint8_t* pixels, int stride, const ScreenArea& area) override;
  void SetWindowTitle(std::string_view title) override;
  void ShowWindow() override;
  void SetMenuBar(const MenuBarView& menu) override;
  void SetMenuBarState(MenuBarState state) override;
  bool SetScreenMode(ScreenMode mode) override;
  bool SetCustomCursor(const CursorImage* image) override;
  void UseCursor(CursorChoice choice) override;
  bool PointerPosition(int& x, int& y) override;
  void SetScreenshotWriter(std::function<void(const std::string&)> writer) override {
    screenshotWriter_ = std::move(writer);
  }
  AudioDevice* Audio() override { return &audio_; }
  // The input dialog: a drawn box over the picture, typed into through SDL's text input.
  bool TakeDialogText(const DialogLabels& labels, std::string& text) override;
  void CloseDialog() override;

 private:
  // Where things are in the window: the picture and the menu bar share one scale.
  struct Layout {
    float scale = 1;
    float originX = 0;   // window position of logical (0, 0)
    float originY = 0;
    int pictureTop = 0;  // logical row where the picture starts (below the bar in a window)
  };
  struct LogicalPoint {
    int x = 0;
    int y = 0;
  };

  SdlPlatform() = default;
  bool Create(std::string& error);
  Layout CurrentLayout() const;
  LogicalPoint ToLogical(int windowX, int windowY) const;
  bool MenuVisible() const { return !fullScreen_ || menuAttached_; }
  void Translate(const SDL_Event& event);
  void TranslateMotion(int windowX, int windowY);
  void TranslateButton(const SDL_MouseButtonEvent& button, bool pressed);
  void TranslateKey(const SDL_KeyboardEvent& key);
  void Post(MessageKind kind, int x, int y, uint32_t param = 0) { pending_.push_back(Message{kind, x, y, param}); }
  void NoteMenuChange();
  void RenderIfNeeded();
  void Render();
  void SaveScreenshot();
  MessageBoxAnswer ShowDrawnMessageBox(const std::string& text, const std::string& title, MessageBoxStyle style);
  void TranslateForBox(const SDL_Event& event, std::optional<MessageBoxAnswer>& answer);
  // The input dialog over the picture, whose top-left corner is at (originX, originY).
  void RenderDialog(float originX, float originY, float scale);
  // A close that came while a modal box was open still ends the program once the box is gone.
  static void RepostQuit();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* picture_ = nullptr;
  SDL_Texture* bar_ = nullptr;
  SDL_Texture* popup_ = nullptr;
  SDL_Texture* boxTexture_ = nullptr;
  std::vector<uint32_t> frame_;       // the picture as last presented, 0x00RRGGBB
  std::vector<uint32_t> barPixels_;
  std::vector<uint32_t> popupPixels_;
  std::unique_ptr<MessageBoxWidget> box_;  // a drawn message box is open
  std::vector<uint32_t> boxPixels_;
  uint64_t boxVersionShown_ = 0;
  std::unique_ptr<InputDialogWidget> dialog_;  // the input dialog is open
  SDL_Texture* dialogTexture_ = nullptr;       // made when a dialog first opens
  std::vector<uint32_t> dialogPixels_;
  uint64_t dialogVersionShown_ = 0;
  bool quitAfterDialog_ = false;
  std::unique_ptr<MenuBarWidget> menu_;
  uint64_t barVersionShown_ = 0;
  std::unique_ptr<SdlCursors> cursors_;
  std::deque<Message> pending_;
  bool needsRender_ = true;
  bool shown_ = false;
  bool fullScreen_ = false;
  bool menuAttached_ = true;
  bool menuOwnsButton_[2] = {false, false};  // left, right: the press went to the menu
  int windowX_ = SDL_WINDOWPOS_CENTERED;
  int windowY_ = SDL_WINDOWPOS_CENTERED;
  std::function<void(const std::string&)> screenshotWriter_;
  SdlAudioDevice audio_;
};

}  // namespace velmio
