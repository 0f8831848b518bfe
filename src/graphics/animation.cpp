#include "graphics/animation.h"

#include "shell/interpreter.h"

namespace velmio {

void AnimationTick(Interpreter& engine) {}

}  // namespace velmio
