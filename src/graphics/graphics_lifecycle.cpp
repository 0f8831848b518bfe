#include "graphics/graphics_lifecycle.h"

#include "shell/interpreter.h"

namespace velmio {

void InitialiseGraphics(Interpreter& engine) {}
void ResetGraphicsForStart(Interpreter& engine) {}
void ResetGraphicsFiltersForStart(Interpreter& engine) {}

}  // namespace velmio
