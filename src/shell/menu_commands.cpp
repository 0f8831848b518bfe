#include "shell/menu_commands.h"

#include "platform/encoding.h"
#include "shell/interpreter.h"
#include "shell/window_procedure.h"

namespace velmio {

void HandleMenuCommand(Interpreter& engine, uint32_t id) {
  ShellState& shell = engine.shell;
  InputState& input = engine.input;
  switch (id) {
    case menu_id::kQuit:
      engine.messages.Post(Message{MessageKind::Close});
      break;
    case menu_id::kFullScreen:
      shell.fullScreen = true;
      break;
    case menu_id::kWindow:
      shell.fullScreen = false;
      break;
    case menu_id::kDefaultFont:
      engine.text.defaultFontFace = engine.text.configuredFontFace;
      break;
    case menu_id::kVersion:
      ShowMessageBox(engine, shell.productVersion + "\n" + shell.creditLine, Sjis("バージョン情報"),
                     MessageBoxStyle::Ok);
      break;
    case menu_id::kSkipToChoice:
      input.skipMode = true;
      break;
    case menu_id::kPageAtATime:
      if (!engine.text.autoClick) input.pageMode = true;
      break;
    case menu_id::kDefaultDisplay:
      input.pageMode = false;
      break;
    case menu_id::kSpeedSlow:
    case menu_id::kSpeedNormal:
    case menu_id::kSpeedFast:
      shell.speedIndex = static_cast<int>(id - menu_id::kSpeedSlow);
      break;
    case menu_id::kWaveOn:
    case menu_id::kWaveOff:
      shell.waveEnabled = id == menu_id::kWaveOn;
      break;
    default:
      // Every other id is a font of the font menu (the menu model comes with the window).
      break;
  }
}

}  // namespace velmio
