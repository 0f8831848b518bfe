#pragma once
// A line of a command table: ScummVM-style, name, phase and handler. Each subsystem lists its
// commands beside their handlers with the context it needs; the engine indexes all the lists.
#include <cstdint>
#include <string_view>

namespace velmio {

enum class CommandGroup : uint8_t { BothPhases, DefinitionOnly, RunOnly };

// A handler is called with the read position at its first operand and reads its own operands.
template <typename Context>
struct CommandEntry {
  std::string_view name;
  CommandGroup group;
  void (*handler)(Context& engine);
};

}  // namespace velmio
