#pragma once
// The command table of sound and movies.
#include <span>

#include "script/command_entry.h"
#include "sound/sound_context.h"

namespace velmio {

using SoundCommand = CommandEntry<SoundContext>;

std::span<const SoundCommand> SoundCommands();

}  // namespace velmio
