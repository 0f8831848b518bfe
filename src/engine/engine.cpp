#include "engine/engine.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/encoding.h"
#include "base/errors.h"
#include "base/warning.h"
#include "engine/interpreter.h"
#include "engine/reset.h"
#include "engine/run_scenario.h"
#include "files/fonts/font_catalogue.h"
#include "files/instance_lock.h"
#include "graphics/graphics_lifecycle.h"
#include "graphics/screenshot.h"
#include "persist/global_files.h"
#include "script/scenario_loader.h"
#include "shell/menu_bar.h"
#include "shell/menu_commands.h"
#include "shell/settings_files.h"
#include "shell/shutdown.h"
#include "shell/window_procedure.h"
#include "sound/media.h"
#include "sound/sound_lifecycle.h"
#include "text/text_lifecycle.h"
#include "ui/lookback.h"
#include "ui/ui_commands.h"

namespace velmio {
namespace {

// A scenario that asks for `definereset` at once would re-initialise forever with no time
// passing; every cycle after the first waits this long, so time limits still end such a run and
// the window keeps answering its close box. A cycle that passed no time at all is part of such a
// loop, and the pause doubles, up to a second, until a cycle takes time again.
constexpr uint32_t kReinitialisationPause = 50;
constexpr uint32_t kLongestReinitialisationPause = 1000;

// Shows the fatal error as a box owned by the window, and tells the author on standard error
// where the statement that failed begins.
class EngineErrorReporter : public ErrorReporter {
 public:
  explicit EngineErrorReporter(Interpreter& engine) : engine_(engine) {}

  void ShowFatalError(std::string_view title, std::string_view message) override {
    std::string titleText = ShiftJisToUtf8(title);
    std::string messageText = ShiftJisToUtf8(message);
    engine_.log.Write("ERROR", titleText + ": " + messageText);
    // Nothing may go on sounding behind the box, nor after it.
    StopAllMedia(engine_);
    std::string location = engine_.script.DescribeLocation(engine_.script.statementStart);
    Report((location.empty() ? "" : location + ": ") + titleText + ": " + messageText);
    // The box names the place too, below the message the game defines; the log keeps the
    // message alone.
    std::string text(message);
    if (!location.empty()) text += "\n\n" + location;
    engine_.platform.ShowMessageBox(text, title, MessageBoxStyle::Ok);
  }

 private:
  Interpreter& engine_;
};

// The font popup lists the installed fixed-pitch faces that can write Japanese; every cycle
// builds it anew, so that fonts are never listed twice.
void FillFontMenu(Interpreter& engine) {
  std::vector<std::string> names;
  for (const fonts::FontFamily& family : fonts::JapaneseFixedPitchFamilies())
    if (!family.sjisName.empty()) names.push_back(family.sjisName);
  MenuBar& menu = engine.shell.menu;
  menu.SetFonts(names);
  menu.checkedFontItem = menu_id::kDefaultFont;
  // The definition block removes items again with `killmenu`: each cycle starts from the whole
  // bar, so a `definereset` does not remove one item more every time.
  menu.RestoreTopLevel();
}

void InitialisationCycle(Interpreter& engine) {
  Script& script = engine.script;
  ShellState& shell = engine.shell;
  script.variables.ClearLimits();
  engine.input.speedIndex = 1;
  script.reinitRequested = false;
  engine.sound.waveEnabled = true;
  shell.settingsReplay = SettingsReplay::NotYet;
  script.randomState = engine.platform.Milliseconds();
  shell.customCursor = false;
  engine.platform.UseCursor(CursorChoice::Arrow);
  engine.platform.SetCustomCursor(nullptr);
  engine.sound.cdFadeOutTime = 1000;
  InitialiseGraphics(engine);
  engine.persist.ResetSettings();
  LoadGlobals(engine);
  InitialiseText(engine);
  InitialiseUi(engine);
  script.numberAliases.Clear();
  script.stringAliases.Clear();
  FillFontMenu(engine);

  NoteScenarioProblems(LoadScenario(script));
  script.BuildLabelTable();
  RunScenario(engine, Phase::Definition);
  LoadDefaultLookbackButtons(engine);
  ReadPictureLog(engine);
  // The menu as the definition block left it (`killmenu`) is what the player first sees.
  RefreshMenuBar(engine);

  ReadSettings(engine);
  StartWindowTimer(engine);
  engine.platform.ShowWindow();
  while (!script.reinitRequested) {
    ResetToStart(engine);
    RunScenario(engine, Phase::Run);
  }
}

}  // namespace

int RunEngine(Platform& platform, EventLog& log, const std::string& screenshotFile) {
  // Warnings for the author go into the log as well as to standard error.
  SetWarningLog(&log);
  auto engine = std::make_unique<Interpreter>(platform, log);
  StartSound(*engine);
  EngineErrorReporter reporter(*engine);
  InstallErrorReporter(&reporter);
  platform.SetScreenshotWriter([&engine](const std::string& file) { WriteScreenshot(*engine, file); });
  ReadConfigFile(engine->sound);
  int exitCode = kExitNormal;
  try {
    uint32_t pause = kReinitialisationPause;
    for (bool first = true;; first = false) {
      if (!first) {
        platform.Idle(pause, WaitKind::Timed);
        while (engine->PumpOneMessage()) {
        }
      }
      const uint32_t cycleStart = platform.Milliseconds();
      InitialisationCycle(*engine);
      const bool passedNoTime = platform.Milliseconds() - cycleStart < kReinitialisationPause;
      pause = passedNoTime ? std::min(pause * 2, kLongestReinitialisationPause) : kReinitialisationPause;
    }
  } catch (const ProgramEnd& end) {
    exitCode = end.exitCode;
  }
  try {
    SaveGlobals(*engine);
    OrderlyShutdown(*engine);
    WritePictureLog(*engine);
  } catch (const ProgramEnd&) {
    // The shutdown shows nothing and cannot fail; a time limit passing inside it changes nothing.
  }
  EndSound(*engine);
  // The screenshot asked for on the command line is part of the result: a run that could not
  // write it failed.
  if (!screenshotFile.empty() && !WriteScreenshot(*engine, screenshotFile) && exitCode == kExitNormal)
    exitCode = kExitFatalError;
  platform.SetScreenshotWriter(nullptr);
  InstallErrorReporter(nullptr);
  RemoveRuntimeFolderIfEmpty();
  log.Write("EXIT", std::to_string(exitCode));
  SetWarningLog(nullptr);
  return exitCode;
}

}  // namespace velmio
