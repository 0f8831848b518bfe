#pragma once
// An engine on the headless backend for in-process tests.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/errors.h"
#include "engine/command_table.h"
#include "engine/interpreter.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"

namespace velmio::testing {

// The events of an input script; a script that does not parse fails the test.
inline std::vector<ScriptEvent> Events(const std::string& script) {
  std::vector<ScriptEvent> events;
  std::string error;
  EXPECT_TRUE(ParseInputScript(script, events, error)) << error;
  return events;
}

// Records fatal errors instead of showing them; ReportError still unwinds with ProgramEnd.
class RecordingReporter : public ErrorReporter {
 public:
  void ShowFatalError(std::string_view title, std::string_view message) override {
    lastTitle = ShiftJisToUtf8(title);
    lastMessage = ShiftJisToUtf8(message);
  }
  std::string lastTitle;
  std::string lastMessage;
};

// Records what the engine asks of the window, and can refuse screen mode changes.
class RecordingPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  bool SetScreenMode(ScreenMode mode) override {
    ++modeRequests;
    return mode == ScreenMode::FullScreen ? grantFullScreen : grantWindow;
  }
  void SetMenuBarState(MenuBarState state) override { menuStates.push_back(state); }
  void SetMenuBar(const MenuBarView& menu) override {
    lastMenu = menu;
    ++menuUpdates;
  }
  void UseCursor(CursorChoice choice) override { cursors.push_back(choice); }
  bool PointerPosition(int& x, int& y) override {
    x = pointerX;
    y = pointerY;
    return true;
  }

  bool grantFullScreen = true;
  bool grantWindow = true;
  int modeRequests = 0;
  std::vector<MenuBarState> menuStates;
  MenuBarView lastMenu;
  int menuUpdates = 0;
  std::vector<CursorChoice> cursors;
  int pointerX = 0;
  int pointerY = 0;
};

// Records the areas shown in the window; `onPresent` sees each picture shown (numbered from 1).
class PresentingPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void Present(const uint8_t* pixels, int stride, const ScreenArea& area) override {
    areas.push_back(area);
    if (onPresent) onPresent(static_cast<int>(areas.size()), pixels, stride);
  }
  std::function<void(int, const uint8_t*, int)> onPresent;
  std::vector<ScreenArea> areas;
};

// An engine on `PlatformType` (a HeadlessPlatform, or one derived from it that records what
// the engine asks of it) with its fatal errors recorded.
template <typename PlatformType>
struct EngineOn {
  explicit EngineOn(std::vector<ScriptEvent> events = {}) : platform(std::move(events), 600000), engine(platform, log) {
    InstallErrorReporter(&reporter);
  }
  ~EngineOn() { InstallErrorReporter(nullptr); }

  // Sets the scenario from UTF-8 source text and indexes its labels.
  void Load(const std::string& utf8Scenario) {
    engine.script.SetText(Utf8ToShiftJis(utf8Scenario));
    engine.script.BuildLabelTable();
  }

  // Runs `action`; returns "" when it finished, else "title: message" of the fatal error.
  template <typename Action>
  std::string ErrorOf(Action action) {
    reporter.lastTitle.clear();
    reporter.lastMessage.clear();
    try {
      action();
    } catch (const ProgramEnd&) {
      return reporter.lastTitle + ": " + reporter.lastMessage;
    }
    return "";
  }

  // Runs the commands of `utf8` (statements only, no text) in `phase`; "" or the fatal error.
  std::string Run(const std::string& utf8, Phase phase = Phase::Run) {
    Load(utf8);
    Script& script = engine.script;
    script.phase = phase;
    script.position = 0;
    return ErrorOf([&] {
      for (script.SkipBlanksAndLineFeeds(); script.Current() != 0; script.SkipBlanksAndLineFeeds()) {
        if (script.Current() == ':') ++script.position;
        else ExecuteCommand(engine, script.ReadToken());
      }
    });
  }

  PlatformType platform;
  EventLog log;
  Interpreter engine;
  RecordingReporter reporter;
};

using TestEngine = EngineOn<HeadlessPlatform>;

}  // namespace velmio::testing
