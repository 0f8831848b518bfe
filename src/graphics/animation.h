#pragma once

namespace velmio {

class Interpreter;

// Advances the cell animations of sprites and standing pictures whose time has come; every wait
// calls it between messages.
void AnimationTick(Interpreter& engine);

}  // namespace velmio
