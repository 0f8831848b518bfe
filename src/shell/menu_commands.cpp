#include "shell/menu_commands.h"

#include "base/encoding.h"
#include "shell/menu_bar.h"
#include "shell/screen_mode.h"
#include "shell/shell_context.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

void ShowVersion(ShellContext& engine) {
  const ShellState& shell = engine.shell;
  ShowMessageBox(engine, shell.productVersion + "\n" + shell.creditLine, Sjis("バージョン情報"),
                 MessageBoxStyle::Ok);
}

void ChooseFont(ShellContext& engine, uint32_t id) {
  const std::string* name = engine.shell.menu.FontName(id);
  // An id that names no font (a font left out of the menu, or a stray command) changes nothing.
  if (name == nullptr) return;
  engine.text.defaultFontFace = *name;
  engine.shell.menu.checkedFontItem = id;
}

}  // namespace

void HandleMenuCommand(ShellContext& engine, uint32_t id) {
  ShellState& shell = engine.shell;
  InputState& input = engine.input;
  switch (id) {
    case menu_id::kQuit:
      engine.messages.Post(Message{MessageKind::Close});
      return;
    case menu_id::kFullScreen:
      SwitchToFullScreen(engine);
      return;
    case menu_id::kWindow:
      SwitchToWindow(engine);
      return;
    case menu_id::kDefaultFont:
      engine.text.defaultFontFace = engine.text.configuredFontFace;
      shell.menu.checkedFontItem = menu_id::kDefaultFont;
      break;
    case menu_id::kVersion:
      ShowVersion(engine);
      return;
    case menu_id::kSkipToChoice:
      input.skipMode = true;
      return;
    case menu_id::kPageAtATime:
      if (engine.text.autoClick) return;
      input.pageMode = true;
      break;
    case menu_id::kDefaultDisplay:
      input.pageMode = false;
      break;
    case menu_id::kSpeedSlow:
    case menu_id::kSpeedNormal:
    case menu_id::kSpeedFast:
      input.speedIndex = static_cast<int>(id - menu_id::kSpeedSlow);
      return;
    case menu_id::kWaveOn:
    case menu_id::kWaveOff:
      engine.sound.waveEnabled = id == menu_id::kWaveOn;
      return;
    default:
      ChooseFont(engine, id);
      break;
  }
  // The choice moved a check mark of the visible menu.
  RefreshMenuBar(engine);
}

}  // namespace velmio
