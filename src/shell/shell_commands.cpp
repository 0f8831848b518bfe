// Scenario commands that act on the window, its title and message boxes.
#include "script/command_table.h"
#include "shell/interpreter.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

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

void ModeExt(Interpreter& engine) {}

}  // namespace

std::span<const CommandEntry> ShellCommands() {
  static constexpr CommandEntry kCommands[] = {
      {"end", CommandGroup::BothPhases, End},
      {"caption", CommandGroup::BothPhases, Caption},
      {"mesbox", CommandGroup::BothPhases, MesBox},
      {"versionstr", CommandGroup::DefinitionOnly, VersionStr},
      {"mode_ext", CommandGroup::DefinitionOnly, ModeExt},
  };
  return kCommands;
}

}  // namespace velmio
