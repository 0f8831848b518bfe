#pragma once
// The command table of saving and loading: the definition block's save settings.
#include <span>

#include "persist/persist_context.h"
#include "script/command_entry.h"

namespace velmio {

using PersistCommand = CommandEntry<PersistContext>;

std::span<const PersistCommand> PersistCommands();

}  // namespace velmio
