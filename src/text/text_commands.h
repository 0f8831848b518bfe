#pragma once
// The command table of the text display.
#include <span>

#include "script/command_entry.h"
#include "text/text_context.h"

namespace velmio {

using TextCommand = CommandEntry<TextContext>;

std::span<const TextCommand> TextCommands();

}  // namespace velmio
