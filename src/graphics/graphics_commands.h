#pragma once
// The command tables of the graphics: effects and `print`, pictures and sprites.
#include <span>

#include "graphics/graphics_context.h"
#include "script/command_entry.h"

namespace velmio {

using GraphicsCommand = CommandEntry<GraphicsContext>;

std::span<const GraphicsCommand> EffectCommands();
std::span<const GraphicsCommand> PictureCommands();

}  // namespace velmio
