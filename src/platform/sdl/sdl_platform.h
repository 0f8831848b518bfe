#pragma once
// The real desktop program: one SDL window with the menu bar drawn above a 640 x 480 picture,
// or the picture scaled to the whole screen with the menu bar over its top edge. The window may
// be resized; bar and picture then scale together, keeping their shape, with black bars.
#include <SDL.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/screen.h"
#include "files/window_settings.h"
#include "platform/choice_keys.h"
#include "platform/platform.h"
#include "platform/sdl/input_dialog_widget.h"
#include "platform/sdl/menu_bar_widget.h"
#include "platform/sdl/message_box_widget.h"
#include "platform/sdl/notice_painter.h"
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
#ifdef __EMSCRIPTEN__
  // A page has no threads: the browser's audio output calls in while the engine waits.
  AudioPull AudioPullKind() const override { return AudioPull::EngineThread; }
#endif
  void ChoicesShown(std::span<const ScreenArea> entries) override { choices_.assign(entries.begin(), entries.end()); }
  void ShowSkipping(bool skipping) override;
  // The input dialog: a drawn box over the picture, typed into through SDL's text input.
  bool TakeDialogText(const DialogLabels& labels, std::string& text) override;
  void CloseDialog() override;

 private:
  // Where things are in the window: the picture and the menu bar share one scale.
  struct Layout {
    float scale = 1;     // drawable pixels per logical pixel
    float originX = 0;   // window position of logical (0, 0)
    float originY = 0;
    int pictureTop = 0;  // logical row where the picture starts (below the bar in a window)
    int outputWidth = 0;  // what the renderer draws on, in drawable pixels
    int outputHeight = 0;
  };
  struct LogicalPoint {
    int x = 0;
    int y = 0;
  };

  SdlPlatform() = default;
  bool Create(std::string& error);
  Layout CurrentLayout() const;
  // The size the window opens at: as the player left it, else the largest whole multiple of the
  // picture the desktop has room for.
  void ChooseStartSize(int& width, int& height) const;
  void CycleScaling();
  // The window's size on the X server, which is not what SDL believes after a full screen request
  // nobody granted (no window manager, or one that ignores it). Unknown on other video drivers.
  void RefreshRealSize();
  // Some time after a full screen request: when the window did not grow, a borderless window
  // over the whole desktop stands in for it.
  void CheckFullScreenGranted();
  void ShowNotice(const std::string& text);
  void PostClickAtPointer(MessageKind down, MessageKind up);
  void MovePointerThroughChoices(ChoiceStep step);
  void ReleaseHeldKeys();
  void RenderNotices(const Layout& layout);
  LogicalPoint ToLogical(int windowX, int windowY) const;
  bool MenuVisible() const { return !fullScreen_ || menuAttached_; }
  uint32_t PictureFormat() const;
  bool PictureAndBarCoverOutput(const Layout& layout) const;
  void Translate(const SDL_Event& event);
  void TranslateMotion(int windowX, int windowY);
  void TranslateButton(const SDL_MouseButtonEvent& button, bool pressed);
  void TranslateKey(const SDL_KeyboardEvent& key);
  void TranslateWheel(const SDL_MouseWheelEvent& wheel);
  void Post(MessageKind kind, int x, int y, uint32_t param = 0) { pending_.push_back(Message{kind, x, y, param}); }
  void NoteMenuChange();
  void RenderIfNeeded();
  void Render();
  // The name of the file written, empty when none was.
  std::string SaveScreenshot();
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
  std::vector<uint32_t> frame_;  // the picture as last presented, in picture_'s format
  int redShift_ = 16;            // where red and blue sit in frame_'s pixels
  int blueShift_ = 0;
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
  bool needsRender_ = true;                // the whole window is to be drawn again
  SDL_Rect pictureChange_{0, 0, 0, 0};     // what Present changed since, in picture pixels
  bool softwareRenderer_ = false;
  bool shown_ = false;
  bool fullScreen_ = false;
  bool menuAttached_ = true;
  bool menuOwnsButton_[2] = {false, false};  // left, right: the press went to the menu
  WindowSettings settings_;
  bool realSizeKnown_ = false;
  int realWidth_ = 0;
  int realHeight_ = 0;
  bool fullScreenByHand_ = false;
  bool fullScreenCheckPending_ = false;
  uint32_t fullScreenCheckAt_ = 0;
  int windowWidth_ = 0;  // the window's size the last time it was not full screen
  int windowHeight_ = 0;
  std::vector<ScreenArea> choices_;  // the entries of the list shown last, for the arrow keys
  int pointerX_ = 0;  // where the game last saw the pointer (moves, and the arrow keys)
  int pointerY_ = 0;
  bool controlHeld_ = false;
  bool skipping_ = false;
  std::unique_ptr<NoticePainter> notices_;
  SDL_Texture* skipTexture_ = nullptr;  // the mark shown while skipping
  int skipWidth_ = 0;
  SDL_Texture* noticeTexture_ = nullptr;  // a passing confirmation, until noticeUntil_
  int noticeWidth_ = 0;
  uint32_t noticeUntil_ = 0;
  bool noticeShown_ = false;
  int windowX_ = SDL_WINDOWPOS_CENTERED;
  int windowY_ = SDL_WINDOWPOS_CENTERED;
  std::function<void(const std::string&)> screenshotWriter_;
  SdlAudioDevice audio_;
};

}  // namespace velmio
