#pragma once
#include <string>

namespace velmio {

class Platform;
class EventLog;

// Runs the game in the current folder until the window is destroyed: initialisation cycles,
// then the orderly shutdown. The caller holds the instance lock (instance_guard.h). Returns the process exit code and logs it as EXIT. With a
// `screenshotFile`, the display surface is written there as PNG when the program ends.
int RunEngine(Platform& platform, EventLog& log, const std::string& screenshotFile = {});

}  // namespace velmio
