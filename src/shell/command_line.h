#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

struct CommandLine {
  bool headless = false;
  std::string inputScript;
  std::string logFile;
  uint32_t maxTime = 600000;
  std::string screenshotFile;
  std::string audioOutFile;
  std::string gameFolder = ".";
  bool demo = false;  // play the demo that comes with velmio instead of gameFolder
  bool check = false;  // check the scenario for the author instead of playing it
  bool showHelp = false;
  bool showVersion = false;
};

// False on a malformed command line, with the reason in `error`.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& commandLine, std::string& error);

extern const char kUsage[];
extern const char kVersionText[];

}  // namespace velmio
