#pragma once
// Handlers of the shell's scenario commands, spread over the files of what they drive and
// gathered into one table by shell_commands.cpp.

namespace velmio {

class Interpreter;

// timing_commands.cpp
void DelayCommand(Interpreter& engine);
void WaitCommand(Interpreter& engine);
void ResetTimerCommand(Interpreter& engine);
void WaitTimerCommand(Interpreter& engine);

// cursor_commands.cpp
void MouseCursorCommand(Interpreter& engine);

}  // namespace velmio
