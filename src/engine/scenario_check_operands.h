#pragma once
// The operands of every command, as a signature the checker reads them by with the engine's own
// operand readers. The handlers read their operands themselves while they act; a signature says
// only what they read, in a few letters, so that the checker can walk a statement without acting.
//
//   n number   s string   f picture file   m sound or movie file   l label   c colour "#rrggbb"
//   w word     a letter (l, c, r or a)      o the word "off"       v %variable   V $variable
//   e effect operand (a slot, or type, duration and an optional mask picture)   , a comma
//   [X]  X when a comma follows             {X}  X again as long as a comma follows
//   (kX|Y)  X when the next character is k (a letter matches either case), else Y
// A signature of "!" marks a command whose operands the checker reads in code of its own.
#include <optional>
#include <string_view>

namespace velmio {

// The signature of the command `name` (empty for a command without operands); none when the
// command is not known to the checker.
std::optional<std::string_view> OperandSignature(std::string_view name);

}  // namespace velmio
