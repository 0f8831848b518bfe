#include "shell/engine.h"

#include <cstdio>
#include <memory>

#include "graphics/graphics_lifecycle.h"
#include "graphics/screenshot.h"
#include "platform/encoding.h"
#include "script/reset.h"
#include "script/run_scenario.h"
#include "script/scenario_loader.h"
#include "shell/errors.h"
#include "shell/interpreter.h"
#include "shell/window_procedure.h"
#include "text/text_lifecycle.h"

namespace velmio {
namespace {

// Shows the fatal error as a box owned by the window, and tells the author on standard error
// where the statement that failed begins.
class EngineErrorReporter : public ErrorReporter {
 public:
  explicit EngineErrorReporter(Interpreter& engine) : engine_(engine) {}

  void ShowFatalError(std::string_view title, std::string_view message) override {
    std::string titleText = ShiftJisToUtf8(title);
    std::string messageText = ShiftJisToUtf8(message);
    engine_.log.Write("ERROR", titleText + ": " + messageText);
    std::string location = engine_.script.DescribeLocation(engine_.script.statementStart);
    if (location.empty()) {
      fprintf(stderr, "velmio: %s: %s\n", titleText.c_str(), messageText.c_str());
    } else {
      fprintf(stderr, "velmio: %s: %s: %s\n", location.c_str(), titleText.c_str(), messageText.c_str());
    }
    engine_.platform.ShowMessageBox(message, title, MessageBoxStyle::Ok);
  }

 private:
  Interpreter& engine_;
};

void InitialisationCycle(Interpreter& engine) {
  Script& script = engine.script;
  script.variables.ClearLimits();
  engine.shell.speedIndex = 1;
  script.reinitRequested = false;
  engine.shell.waveEnabled = true;
  script.randomState = engine.platform.Milliseconds();
  InitialiseGraphics(engine);
  script.variables.ClearGlobals();
  InitialiseText(engine);
  script.numberAliases.Clear();
  script.stringAliases.Clear();

  LoadScenario(script);
  script.BuildLabelTable();
  RunScenario(engine, Phase::Definition);

  StartWindowTimer(engine);
  engine.platform.ShowWindow();
  while (!script.reinitRequested) {
    ResetToStart(engine);
    RunScenario(engine, Phase::Run);
  }
}

void OrderlyShutdown(Interpreter& engine) {}

}  // namespace

int RunEngine(Platform& platform, EventLog& log, const std::string& screenshotFile) {
  auto engine = std::make_unique<Interpreter>(platform, log);
  EngineErrorReporter reporter(*engine);
  InstallErrorReporter(&reporter);
  platform.SetScreenshotWriter([&engine](const std::string& file) { WriteScreenshot(*engine, file); });
  int exitCode = kExitNormal;
  try {
    for (;;) InitialisationCycle(*engine);
  } catch (const ProgramEnd& end) {
    exitCode = end.exitCode;
  }
  try {
    OrderlyShutdown(*engine);
  } catch (const ProgramEnd&) {
    // The shutdown shows nothing and cannot fail; a time limit passing inside it changes nothing.
  }
  if (!screenshotFile.empty()) WriteScreenshot(*engine, screenshotFile);
  platform.SetScreenshotWriter(nullptr);
  InstallErrorReporter(nullptr);
  log.Write("EXIT", std::to_string(exitCode));
  return exitCode;
}

}  // namespace velmio
