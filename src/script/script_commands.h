#pragma once
// The command tables of the scenario language itself: variables and arithmetic, control flow.
#include <span>

#include "script/command_entry.h"
#include "script/script_context.h"

namespace velmio {

using ScriptCommand = CommandEntry<ScriptContext>;

std::span<const ScriptCommand> VariableCommands();
std::span<const ScriptCommand> FlowCommands();

}  // namespace velmio
