#pragma once

namespace velmio {

// Thrown to unwind the engine to the process entry, which then runs the orderly shutdown once.
// It stands for the destruction of the main window: by `end`, by the close box, after a fatal
// error, or when the headless time limit passes.
struct ProgramEnd {
  int exitCode = 0;
};

constexpr int kExitNormal = 0;
constexpr int kExitFatalError = 1;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitTimeLimit = 3;

}  // namespace velmio
