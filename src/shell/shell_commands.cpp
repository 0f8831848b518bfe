// Scenario commands that act on the window: title, message boxes, the menu bar and its items,
// the mouse cursor and timing. The table gathers handlers from the files of what they drive.
#include "script/command_table.h"
#include "shell/interpreter.h"
#include "shell/menu_bar.h"
#include "shell/menu_commands.h"
#include "shell/shell_command_handlers.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

constexpr int kMenuSettlePumps = 50;

void End(Interpreter& engine) { DestroyWindow(engine); }

void Caption(Interpreter& engine) { engine.platform.SetWindowTitle(engine.script.ReadString()); }

void MesBox(Interpreter& engine) {
  Script& script = engine.script;
  std::string text = script.ReadString();
  script.ExpectComma();
  std::string title = script.ReadString();
  bool timerWasRunning = engine.shell.timerRunning;
  StopWindowTimer(engine);
  ShowMessageBox(engine, text, title, MessageBoxStyle::Ok);
  if (timerWasRunning) StartWindowTimer(engine);
}

void VersionStr(Interpreter& engine) {
  Script& script = engine.script;
  std::string product = script.ReadString();
  script.ExpectComma();
  engine.shell.creditLine = script.ReadString();
  engine.shell.productVersion = std::move(product);
}

void KillMenu(Interpreter& engine) {
  // A position past the last item removes nothing, as the platform's menus do.
  if (engine.shell.menu.Remove(engine.script.ReadNumber())) RefreshMenuBar(engine);
}

void ModeExt(Interpreter& engine) {}

enum class SettlePause : uint8_t { OneMillisecond, None };

// Lets pending messages run for a moment, as if the player had time to reach for the menu.
void Settle(Interpreter& engine, SettlePause pause) {
  for (int i = 0; i < kMenuSettlePumps; ++i) {
    PumpOneMessage(engine);
    if (pause == SettlePause::OneMillisecond) engine.platform.Idle(1, WaitKind::Timed);
  }
}

// The command chooses the menu item as the player would, and the switch is complete when the
// next statement runs.
void ChooseMenuItem(Interpreter& engine, uint32_t id, SettlePause pause) {
  Settle(engine, pause);
  engine.messages.Post(Message{MessageKind::MenuCommand, 0, 0, id});
  Settle(engine, pause);
}

void MenuFull(Interpreter& engine) { ChooseMenuItem(engine, menu_id::kFullScreen, SettlePause::OneMillisecond); }
void MenuWindowCommand(Interpreter& engine) { ChooseMenuItem(engine, menu_id::kWindow, SettlePause::None); }
void MenuClickDef(Interpreter& engine) {
  ChooseMenuItem(engine, menu_id::kDefaultDisplay, SettlePause::OneMillisecond);
}
void MenuClickPage(Interpreter& engine) { ChooseMenuItem(engine, menu_id::kPageAtATime, SettlePause::OneMillisecond); }

}  // namespace

std::span<const CommandEntry> ShellCommands() {
  static constexpr CommandEntry kCommands[] = {
      {"end", CommandGroup::BothPhases, End},
      {"caption", CommandGroup::BothPhases, Caption},
      {"mesbox", CommandGroup::BothPhases, MesBox},
      {"mousecursor", CommandGroup::BothPhases, MouseCursorCommand},
      {"versionstr", CommandGroup::DefinitionOnly, VersionStr},
      {"mode_ext", CommandGroup::DefinitionOnly, ModeExt},
      {"killmenu", CommandGroup::DefinitionOnly, KillMenu},
      {"menu_full", CommandGroup::RunOnly, MenuFull},
      {"menu_window", CommandGroup::RunOnly, MenuWindowCommand},
      {"menu_click_def", CommandGroup::RunOnly, MenuClickDef},
      {"menu_click_page", CommandGroup::RunOnly, MenuClickPage},
      {"delay", CommandGroup::RunOnly, DelayCommand},
      {"wait", CommandGroup::RunOnly, WaitCommand},
      {"resettimer", CommandGroup::RunOnly, ResetTimerCommand},
      {"waittimer", CommandGroup::RunOnly, WaitTimerCommand},
  };
  return kCommands;
}

}  // namespace velmio
