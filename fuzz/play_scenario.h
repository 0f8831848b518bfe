#pragma once
// Plays arbitrary bytes as a scenario: the label index, the definition block and up to three
// run cycles, on a headless platform whose 20 ms time limit bounds every run, waits included.
// Shared by the scenario fuzzer and the test that replays its kept inputs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/errors.h"
#include "base/program_end.h"
#include "engine/interpreter.h"
#include "engine/reset.h"
#include "engine/run_scenario.h"
#include "platform/headless/headless_platform.h"

namespace velmio {

inline void PlayFuzzedScenario(const uint8_t* data, size_t size) {
  class QuietReporter : public ErrorReporter {
   public:
    void ShowFatalError(std::string_view, std::string_view) override {}
  };
  // Most interesting inputs start with a definition block; give the fuzzer one for free half the time.
  std::string text(reinterpret_cast<const char*>(data), size);
  if (size > 0 && (data[0] & 1) != 0) text = "*define\ngame\n*start\n" + text.substr(1);
  HeadlessPlatform platform({}, 20);
  EventLog log;
  Interpreter engine(platform, log);
  QuietReporter reporter;
  InstallErrorReporter(&reporter);
  try {
    engine.script.SetText(std::move(text));
    engine.script.BuildLabelTable();
    RunScenario(engine, Phase::Definition);
    for (int cycle = 0; cycle < 3 && !engine.script.reinitRequested; ++cycle) {
      ResetToStart(engine);
      RunScenario(engine, Phase::Run);
    }
  } catch (const ProgramEnd&) {
  }
  InstallErrorReporter(nullptr);
}

}  // namespace velmio
