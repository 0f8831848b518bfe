#pragma once
#include <string>
#include <string_view>

namespace velmio {

class Interpreter;

// Runs the command `name` (lower case, read by ReadToken) in the current phase; an unknown
// command, or one of the other phase, is a fatal error.
void ExecuteCommand(Interpreter& engine, const std::string& name);

// True when `name` is a command of any group (for tools and tests).
bool IsKnownCommand(std::string_view name);

}  // namespace velmio
