#pragma once

namespace velmio {

class GraphicsContext;

// Advances the cell animations of sprites and standing pictures whose time has come; every wait
// calls it between messages.
void AnimationTick(GraphicsContext& engine);

}  // namespace velmio
