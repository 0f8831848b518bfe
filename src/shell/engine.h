#pragma once

namespace velmio {

class Platform;
class EventLog;

// Runs the game in the current folder until the window is destroyed: initialisation cycles,
// then the orderly shutdown. Returns the process exit code and logs it as EXIT.
int RunEngine(Platform& platform, EventLog& log);

}  // namespace velmio
