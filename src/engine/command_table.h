#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/command_entry.h"

namespace velmio {

class Interpreter;

// Whether the save point is retaken before a command that may change the page or save.
enum class SavePoint : uint8_t { Keep, RetakeFirst };

// Runs the command `name` (lower case, read by ReadToken) in the current phase; an unknown
// command, or one of the other phase, is a fatal error. With SavePoint::RetakeFirst (the page
// is empty) the snapshot is retaken before any command beyond the scenario's own arithmetic and
// jumps, as of the statement's start.
void ExecuteCommand(Interpreter& engine, const std::string& name, SavePoint savePoint = SavePoint::Keep);

// True when `name` is a command of any group (for tools and tests).
bool IsKnownCommand(std::string_view name);

// The phase group of the command `name`; none for an unknown name.
std::optional<CommandGroup> CommandGroupOf(std::string_view name);

// Every command name of every table.
std::vector<std::string_view> CommandNames();

}  // namespace velmio
