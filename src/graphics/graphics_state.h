#pragma once

namespace velmio {

// Surfaces, layers, sprites, effect slots; grows with the graphics subsystem.
struct GraphicsState {};

}  // namespace velmio
