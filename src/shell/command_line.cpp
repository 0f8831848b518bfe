#include "shell/command_line.h"

#include <charconv>

namespace velmio {

const char kUsage[] =
    "Usage: velmio [options] [GAME_DIR]\n"
    "Plays the visual novel in GAME_DIR (default: the current folder) in a window.\n"
    "File names given here and in the input script are relative to the folder velmio\n"
    "is started from.\n"
    "\n"
    "Options:\n"
    "  --demo              play the demo game that comes with velmio\n"
    "  --headless          no window and no audio device: a virtual clock and scripted input\n"
    "  --input FILE        input script for --headless, one event per line:\n"
    "                        click [X Y] | rclick [X Y] | move X Y | key space|enter|escape|C\n"
    "                        menu ID | close | answer yes|no|ok | text STRING | wait MS\n"
    "                        after MS EVENT | screenshot FILE      ('#' starts a comment)\n"
    "  --log FILE          write the event log (TEXT, ERROR, MESSAGEBOX, WARNING, CHOICE, SCREENSHOT,\n"
    "                      EXIT lines, UTF-8) to FILE; '-' is standard output\n"
    "  --max-time MS       headless: give up with exit code 3 after MS ms of virtual time\n"
    "                      (default 600000)\n"
    "  --screenshot FILE   headless: write the screen as PNG when the program ends\n"
    "  --audio-out FILE    headless: write everything played as a 16-bit stereo WAV\n"
    "  --check             check the scenario without playing it: each problem with its\n"
    "                      file:line on standard output; exit 0 when clean, 1 otherwise\n"
    "  -h, --help          show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Exit codes: 0 normal end, 1 error in the game, 2 bad command line, 3 time limit.\n";

const char kVersionText[] = "velmio 0.1.0\n";

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& commandLine, std::string& error) {
  bool folderGiven = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&](std::string& target) {
      if (i + 1 >= arguments.size()) {
        error = argument + " needs a value";
        return false;
      }
      target = arguments[++i];
      return true;
    };
    if (argument == "--demo") {
      commandLine.demo = true;
    } else if (argument == "--check") {
      commandLine.check = true;
    } else if (argument == "--headless") {
      commandLine.headless = true;
    } else if (argument == "--input") {
      if (!value(commandLine.inputScript)) return false;
    } else if (argument == "--log") {
      if (!value(commandLine.logFile)) return false;
    } else if (argument == "--screenshot") {
      if (!value(commandLine.screenshotFile)) return false;
    } else if (argument == "--audio-out") {
      if (!value(commandLine.audioOutFile)) return false;
    } else if (argument == "--max-time") {
      std::string text;
      if (!value(text)) return false;
      uint32_t milliseconds = 0;
      auto result = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
      if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        error = "--max-time needs a number of milliseconds, not '" + text + "'";
        return false;
      }
      commandLine.maxTime = milliseconds;
    } else if (argument == "--help" || argument == "-h") {
      commandLine.showHelp = true;
    } else if (argument == "--version") {
      commandLine.showVersion = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      error = "unknown option " + argument;
      return false;
    } else {
      if (folderGiven) {
        error = "only one game folder can be given";
        return false;
      }
      folderGiven = true;
      commandLine.gameFolder = argument;
    }
  }
  if (commandLine.demo && folderGiven) {
    error = "--demo plays the demo: give no game folder with it";
    return false;
  }
  return true;
}

}  // namespace velmio
