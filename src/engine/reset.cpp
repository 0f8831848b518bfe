#include "engine/reset.h"

#include "engine/interpreter.h"
#include "graphics/graphics_lifecycle.h"
#include "sound/media.h"
#include "text/text_lifecycle.h"

namespace velmio {

void ResetToStart(Interpreter& engine) {
  Script& script = engine.script;
  script.resetRequest = false;
  script.trapLabel.clear();
  engine.input.skipMode = false;
  StopAllMedia(engine);
  ResetTextForStart(engine);
  ResetGraphicsForStart(engine);
  script.variables.ClearLocals();
  script.JumpToLabel("start");
  script.gosubDepth = 0;
  ResetGraphicsFiltersForStart(engine);
}

}  // namespace velmio
