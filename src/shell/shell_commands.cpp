// Scenario commands that act on the window: title, message boxes, the menu bar and its items,
// the mouse cursor and timing. The table gathers handlers from the files of what they drive.
#include "shell/shell_commands.h"
#include "shell/menu_bar.h"
#include "shell/menu_commands.h"
#include "shell/shell_command_handlers.h"
#include "shell/shell_context.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

constexpr int kMenuSettlePumps = 50;

void End(ShellContext& engine) { DestroyWindow(engine); }

void Caption(ShellContext& engine) { engine.platform.SetWindowTitle(engine.script.ReadString()); }

void MesBox(ShellContext& engine) {
  Script& script = engine.script;
  std::string text = script.ReadString();
  script.ExpectComma();
  std::string title = script.ReadString();
  bool timerWasRunning = engine.shell.timerRunning;
  StopWindowTimer(engine);
  ShowMessageBox(engine, text, title, MessageBoxStyle::Ok);
  if (timerWasRunning) StartWindowTimer(engine);
}

void VersionStr(ShellContext& engine) {
  Script& script = engine.script;
  std::string product = script.ReadString();
  script.ExpectComma();
  engine.shell.creditLine = script.ReadString();
  engine.shell.productVersion = std::move(product);
}

void KillMenu(ShellContext& engine) {
  // A position past the last item removes nothing, as the platform's menus do.
  if (engine.shell.menu.Remove(engine.script.ReadNumber())) RefreshMenuBar(engine);
}

void ModeExt(ShellContext& engine) {}

// `autoclick` types on by itself; it also puts the display back to the default mode, as if the
// player chose that menu item.
void AutoClick(ShellContext& engine) {
  int32_t delay = engine.script.ReadNumber();
  TextState& text = engine.text;
  if (delay == 0) {
    text.autoClick = false;
    return;
  }
  text.autoClick = true;
  text.autoClickDelay = delay > 0 ? static_cast<uint32_t>(delay) : 0;
  WindowProcedure(engine, Message{MessageKind::MenuCommand, 0, 0, menu_id::kDefaultDisplay});
}

enum class SettlePause : uint8_t { OneMillisecond, None };

// Lets pending messages run for a moment, as if the player had time to reach for the menu.
void Settle(ShellContext& engine, SettlePause pause) {
  for (int i = 0; i < kMenuSettlePumps; ++i) {
    engine.PumpOneMessage();
    if (pause == SettlePause::OneMillisecond) engine.platform.Idle(1, WaitKind::Timed);
  }
}

// The command chooses the menu item as the player would, and the switch is complete when the
// next statement runs.
void ChooseMenuItem(ShellContext& engine, uint32_t id, SettlePause pause) {
  Settle(engine, pause);
  engine.messages.Post(Message{MessageKind::MenuCommand, 0, 0, id});
  Settle(engine, pause);
}

void MenuFull(ShellContext& engine) { ChooseMenuItem(engine, menu_id::kFullScreen, SettlePause::OneMillisecond); }
void MenuWindowCommand(ShellContext& engine) { ChooseMenuItem(engine, menu_id::kWindow, SettlePause::None); }
void MenuClickDef(ShellContext& engine) {
  ChooseMenuItem(engine, menu_id::kDefaultDisplay, SettlePause::OneMillisecond);
}
void MenuClickPage(ShellContext& engine) { ChooseMenuItem(engine, menu_id::kPageAtATime, SettlePause::OneMillisecond); }

}  // namespace

std::span<const ShellCommand> ShellCommands() {
  static constexpr ShellCommand kCommands[] = {
      {"autoclick", CommandGroup::RunOnly, AutoClick},
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
