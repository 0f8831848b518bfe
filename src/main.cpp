// Process entry: reads the command line, picks the backend, runs the engine in the game folder.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/encoding.h"
#include "base/event_log.h"
#include "base/program_end.h"
#include "files/sound/wav_writer.h"
#include "engine/engine.h"
#include "engine/instance_guard.h"
#include "engine/scenario_check.h"
#include "files/file_reading.h"
#include "files/instance_lock.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/command_line.h"

namespace {

using namespace velmio;

// Paths given on the command line are relative to where the program was started, not to the
// game folder it then works in.
std::string Absolute(const std::string& path) {
  if (path.empty() || path == "-") return path;
  std::error_code error;
  auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

// The demo installed beside the program (<prefix>/bin/velmio and <prefix>/share/velmio/demo), else
// for a velmio still in its build folder the demo of its source tree. Empty when there is none.
std::string DemoFolder() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    std::filesystem::path installed = (program.parent_path() / "../share/velmio/demo").lexically_normal();
    if (std::filesystem::is_directory(installed, error)) return installed.string();
  }
#ifdef VELMIO_SOURCE_DEMO
  if (std::filesystem::is_directory(VELMIO_SOURCE_DEMO, error)) return VELMIO_SOURCE_DEMO;
#endif
  return {};
}

int Fail(const std::string& message) {
  fprintf(stderr, "velmio: %s\nTry 'velmio --help'.\n", message.c_str());
  return kExitBadCommandLine;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  CommandLine commandLine;
  std::string error;
  if (!ParseCommandLine(arguments, commandLine, error)) return Fail(error);
  if (commandLine.showHelp) {
    fputs(kUsage, stdout);
    return kExitNormal;
  }
  if (commandLine.showVersion) {
    fputs(kVersionText, stdout);
    return kExitNormal;
  }
  std::vector<ScriptEvent> events;
  if (!commandLine.inputScript.empty()) {
    // A folder or a pipe is no script, just as a missing file is not.
    std::string content;
    if (!ReadWholeFile(commandLine.inputScript, content))
      return Fail("cannot read the input script " + commandLine.inputScript);
    if (!ParseInputScript(content, events, error)) return Fail(commandLine.inputScript + ": " + error);
  }

  EventLog log;
  if (!commandLine.logFile.empty() && !log.Open(Absolute(commandLine.logFile)))
    return Fail("cannot write the log " + commandLine.logFile);
  // Screenshot names in the input script are relative to the starting folder too.
  for (ScriptEvent& event : events)
    if (event.kind == ScriptEventKind::Screenshot) event.text = Absolute(event.text);

  const std::string screenshotFile = Absolute(commandLine.screenshotFile);
  const std::string audioOutFile = Absolute(commandLine.audioOutFile);

  if (commandLine.demo) {
    commandLine.gameFolder = DemoFolder();
    if (commandLine.gameFolder.empty()) {
      fprintf(stderr, "velmio: the demo game is not installed (no ../share/velmio/demo beside the program)\n");
      return kExitFatalError;
    }
  }

  if (chdir(commandLine.gameFolder.c_str()) != 0) return Fail("cannot enter the game folder " + commandLine.gameFolder);

  if (commandLine.check) {
    // Reads the game only: no window, no lock, nothing written.
    ScenarioCheck check = CheckScenario();
    for (const std::string& line : check.report) printf("%s\n", line.c_str());
    return check.Clean() ? kExitNormal : kExitFatalError;
  }

  InstanceLock instanceLock;
  int exitCode = kExitNormal;
  if (!commandLine.headless) {
    if (!audioOutFile.empty()) fprintf(stderr, "velmio: --audio-out records headless runs only; ignored\n");
    // Refused before the window exists, so that a second copy never flashes an empty one.
    if (!TakeInstanceLock(instanceLock, InstanceScope::User))
      return RefuseSecondCopy(log, [](std::string_view text, std::string_view title) {
        // Also on standard error: started from a terminal without a display, the box cannot show.
        fprintf(stderr, "velmio: %s: %s\n", ShiftJisToUtf8(title).c_str(), ShiftJisToUtf8(text).c_str());
        ShowMessageBoxWindow(text, title, MessageBoxStyle::Ok);
      });
    std::string problem;
    std::unique_ptr<SdlPlatform> window = SdlPlatform::Open(problem);
    if (!window) {
      fprintf(stderr, "velmio: cannot open a window (%s); 'velmio --headless' plays without one.\n", problem.c_str());
      return kExitFatalError;
    }
    exitCode = RunEngine(*window, log, screenshotFile);
  } else {
    HeadlessPlatform platform(std::move(events), commandLine.maxTime);
    if (!TakeInstanceLock(instanceLock, InstanceScope::GameFolder))
      return RefuseSecondCopy(log, [&platform](std::string_view text, std::string_view title) {
        platform.ShowMessageBox(text, title, MessageBoxStyle::Ok);
      });
    WavWriter audioOut;
    if (!audioOutFile.empty()) {
      std::string problem = audioOut.Open(audioOutFile);
      if (!problem.empty()) return Fail(problem);
      platform.SetAudioRecorder([&audioOut](const int16_t* samples, size_t frames) { audioOut.Write(samples, frames); });
    }
    exitCode = RunEngine(platform, log, screenshotFile);
    platform.SetAudioRecorder(nullptr);
    if (audioOut.IsOpen()) {
      std::string problem = audioOut.Close();
      if (!problem.empty()) fprintf(stderr, "velmio: %s\n", problem.c_str());
    }
  }
  // The lock file goes first, so that an empty runtime folder can go too.
  instanceLock.Release();
  RemoveRuntimeFolderIfEmpty();
  return exitCode;
}
