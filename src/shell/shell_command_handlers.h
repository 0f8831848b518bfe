#pragma once
// Handlers of the shell's scenario commands, spread over the files of what they drive and
// gathered into one table by shell_commands.cpp.

namespace velmio {

class ShellContext;

// timing_commands.cpp
void DelayCommand(ShellContext& engine);
void WaitCommand(ShellContext& engine);
void ResetTimerCommand(ShellContext& engine);
void WaitTimerCommand(ShellContext& engine);

// cursor_commands.cpp
void MouseCursorCommand(ShellContext& engine);

}  // namespace velmio
