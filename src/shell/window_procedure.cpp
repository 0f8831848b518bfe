#include "shell/window_procedure.h"

#include "base/encoding.h"
#include "base/errors.h"
#include "graphics/present.h"
#include "shell/menu_commands.h"
#include "shell/screen_mode.h"
#include "shell/shell_context.h"
#include "sound/media.h"

namespace velmio {
namespace {


void RecordPosition(ShellContext& engine, const Message& message) {
  engine.input.mouseX = message.x;
  engine.input.mouseY = message.y;
}

// Button presses and releases also mark where the player clicked.
void RecordClickPosition(ShellContext& engine, const Message& message) {
  RecordPosition(engine, message);
  engine.input.clickX = message.x;
  engine.input.clickY = message.y;
}

// The custom cursor belongs to the picture only: over the menu bar or outside the window the
// platform shows its arrow.
void ApplyCustomCursor(ShellContext& engine) {
  if (!engine.shell.customCursor) return;
  int x = 0, y = 0;
  if (!engine.platform.PointerPosition(x, y)) return;
  if (x > 0 && x < kScreenWidth && y > 0 && y < kScreenHeight) engine.platform.UseCursor(CursorChoice::Custom);
}

void AskToClose(ShellContext& engine) {
  bool timerWasRunning = engine.shell.timerRunning;
  StopWindowTimer(engine);
  MessageBoxAnswer answer =
      ShowMessageBox(engine, Sjis("終了しますか？"), Sjis("終了確認"), MessageBoxStyle::YesNo);
  if (answer == MessageBoxAnswer::Yes) {
    engine.input.skipMode = false;
    engine.text.autoClick = false;
    DestroyWindow(engine);
  }
  if (timerWasRunning) StartWindowTimer(engine);
}

}  // namespace

void StartWindowTimer(ShellContext& engine) {
  engine.shell.timerRunning = true;
  engine.shell.nextTimerTick = engine.platform.Milliseconds() + kTimerPeriod;
}

void StopWindowTimer(ShellContext& engine) { engine.shell.timerRunning = false; }

void WindowProcedure(ShellContext& engine, const Message& message) {
  InputState& input = engine.input;
  input.lastMessage = static_cast<int>(message.kind);
  if (message.kind != MessageKind::Timer) ApplyCustomCursor(engine);
  switch (message.kind) {
    case MessageKind::Close:
      AskToClose(engine);
      break;
    case MessageKind::Character:
      if (message.param == ' ' || message.param == '\r') input.clickFlag = true;
      break;
    case MessageKind::MenuCommand:
      HandleMenuCommand(engine, message.param);
      break;
    case MessageKind::MouseMove:
      RecordPosition(engine, message);
      UpdateFullScreenMenuBar(engine, message.y);
      break;
    case MessageKind::LeftButtonDown:
    case MessageKind::RightButtonDown:
      RecordClickPosition(engine, message);
      break;
    case MessageKind::LeftButtonUp:
      input.clickFlag = true;
      // The click that ends skip mode is not a click anywhere in particular.
      if (input.skipMode) {
        input.skipMode = false;
        break;
      }
      RecordClickPosition(engine, message);
      break;
    case MessageKind::RightButtonUp:
      if (input.skipMode) {
        input.skipMode = false;
        break;
      }
      input.rightClickFlag = true;
      RecordClickPosition(engine, message);
      break;
    case MessageKind::Paint:
      // A movie shows its own pictures.
      if (!engine.sound.moviePlaying) PresentDisplay(engine);
      break;
    case MessageKind::Timer:
      MediaTimerTick(engine);
      break;
    case MessageKind::MediaNotification:
      break;
    case MessageKind::WheelUp:
      input.wheelUpFlag = true;
      break;
    case MessageKind::KeyDown:
    case MessageKind::KeyUp:
      if (message.param == static_cast<uint32_t>(KeyCode::Control))
        input.skipHeld = message.kind == MessageKind::KeyDown;
      break;
  }
  engine.platform.ShowSkipping(input.Skipping());
}

MessageBoxAnswer ShowMessageBox(ShellContext& engine, std::string_view text, std::string_view title,
                                MessageBoxStyle style) {
  engine.log.Write("MESSAGEBOX", ShiftJisToUtf8(title) + ": " + ShiftJisToUtf8(text));
  return engine.platform.ShowMessageBox(text, title, style);
}

void DestroyWindow(ShellContext& engine) { throw ProgramEnd{kExitNormal}; }

}  // namespace velmio
