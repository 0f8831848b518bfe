#pragma once
// The command table of the application shell: the window, menu bar, timers and cursors.
#include <span>

#include "script/command_entry.h"
#include "shell/shell_context.h"

namespace velmio {

using ShellCommand = CommandEntry<ShellContext>;

std::span<const ShellCommand> ShellCommands();

}  // namespace velmio
