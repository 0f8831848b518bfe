#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/audio_device.h"
#include "platform/message.h"

namespace velmio {

class MessageQueue;
struct MenuBarView;
struct CursorImage;

enum class WaitKind : uint8_t {
  Timed,   // a delay that ends by itself (typing delay, effect step, `wait`)
  Player,  // the engine is waiting for the player (click wait, choice, menu page...)
};

// A rectangle of the screen: left and top inclusive, width and height in pixels.
struct ScreenArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class MessageBoxStyle : uint8_t { Ok, YesNo };

// What the input dialog shows, in UTF-8: its caption and the scenario's prompt; and the sizes
// the scenario gave, in points (zero when it gave none).
struct DialogLabels {
  std::string caption;
  std::string prompt;
  int dialogWidth = 0;
  int dialogHeight = 0;
  int editWidth = 0;
  int editHeight = 0;
};
enum class MessageBoxAnswer : uint8_t { Ok, Yes, No };

enum class ScreenMode : uint8_t { Window, FullScreen };
// Full screen only: whether the menu bar is shown over the top of the picture.
enum class MenuBarState : uint8_t { Attached, Detached };
enum class CursorChoice : uint8_t { Arrow, Custom };
// Where the platform's audio device pulls its samples. OwnThread: a thread of the device's own,
// at any moment, so reading and decoding must run ahead of it on another thread. EngineThread:
// the engine's thread, between its steps (the headless device as virtual time moves; a page,
// which has no threads, while the engine waits): streams are filled just before each pull, with
// no thread beside the engine, and a headless run sounds the same every time.
enum class AudioPull : uint8_t { OwnThread, EngineThread };

// Everything the engine needs from the machine it runs on. The SDL backend drives a real
// window; the headless backend runs on a virtual clock with scripted input.
class Platform {
 public:
  virtual ~Platform() = default;

  // Milliseconds from an arbitrary origin; wraps like the 32-bit multimedia timer.
  virtual uint32_t Milliseconds() = 0;

  // Moves whatever input the platform holds into the engine's queue. Never blocks.
  virtual void CollectEvents(MessageQueue& queue) = 0;

  // The engine has nothing to do for `timeout` milliseconds: sleep until an event arrives or the
  // time is up. Never spins.
  virtual void Idle(uint32_t timeout, WaitKind kind) = 0;

  // A player wait (click wait, choice, menu...) begins; the headless backend measures how long
  // the player has been silent from here.
  virtual void PlayerWaitStarted() {}

  // Called between statements so that a long computation stays responsive.
  virtual void YieldSlice() = 0;

  // Texts are Shift JIS; the backend converts them for display.
  virtual MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view title,
                                          MessageBoxStyle style) = 0;

  // The window shows `area` of the 640 x 480 picture anew. `pixels` is the display surface: rows
  // bottom-up, `stride` bytes apart, 3 bytes per pixel in blue, green, red order.
  virtual void Present(const uint8_t* pixels, int stride, const ScreenArea& area) {}

  virtual void SetWindowTitle(std::string_view title) {}
  virtual void ShowWindow() {}

  // The menu bar changed (items removed, check marks, fonts); the backend redraws it.
  virtual void SetMenuBar(const MenuBarView& menu) {}
  virtual void SetMenuBarState(MenuBarState state) {}
  // Switches between the 640 x 480 window and full screen; false when the platform cannot.
  virtual bool SetScreenMode(ScreenMode mode) { return true; }

  // Replaces the custom cursor (null releases it); false when the picture cannot become a cursor.
  virtual bool SetCustomCursor(const CursorImage* image) { return image != nullptr; }
  virtual void UseCursor(CursorChoice choice) {}
  // Where the pointer is now, in client coordinates; false when the platform cannot tell.
  virtual bool PointerPosition(int& x, int& y) { return false; }

  // A list of choices or menu entries is shown: the area where the pointer takes each entry, in
  // order (for the input script's `choose N`).
  virtual void ChoicesShown(std::span<const ScreenArea> entries) {}

  // Whether waits are being skipped (the menu's skip or Ctrl held); the window shows a mark.
  virtual void ShowSkipping(bool skipping) {}

  // The answer typed into the input dialog, when the platform has one ready (scripted input, or
  // a window in which the player typed it). A refused answer is asked for again, with the same
  // labels; CloseDialog follows the accepted one.
  virtual bool TakeDialogText(const DialogLabels& labels, std::string& text) { return false; }
  virtual void CloseDialog() {}

  // Installed by the engine once it has a display surface: writes it as PNG to the file named
  // (the input script's `screenshot FILE`, a screenshot key in a window).
  virtual void SetScreenshotWriter(std::function<void(const std::string&)> writer) {}

  // The sound output, owned by the platform and closed by the engine before it goes; null when
  // the platform has none. Everything the game hears is mixed into this one device.
  virtual AudioDevice* Audio() { return nullptr; }
  virtual AudioPull AudioPullKind() const { return AudioPull::OwnThread; }
};

}  // namespace velmio
