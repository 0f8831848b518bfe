#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace velmio {

class Interpreter;

// A handler is called with the read position at its first operand and reads its own operands.
using CommandHandler = void (*)(Interpreter& engine);

enum class CommandGroup : uint8_t { BothPhases, DefinitionOnly, RunOnly };

struct CommandEntry {
  std::string_view name;
  CommandGroup group;
  CommandHandler handler;
};

// Each subsystem lists its commands beside their handlers, one line per command; the
// dispatcher indexes all the lists once.
std::span<const CommandEntry> VariableCommands();
std::span<const CommandEntry> FlowCommands();
std::span<const CommandEntry> ShellCommands();
std::span<const CommandEntry> EffectCommands();  // graphics/effects.cpp
std::span<const CommandEntry> TextCommands();    // text/text_commands.cpp
std::span<const CommandEntry> PictureCommands();  // graphics/picture_commands.cpp

// Runs the command `name` (lower case, read by ReadToken) in the current phase; an unknown
// command, or one of the other phase, is a fatal error.
void ExecuteCommand(Interpreter& engine, const std::string& name);

// True when `name` is a command of any group (for tools and tests).
bool IsKnownCommand(std::string_view name);

}  // namespace velmio
