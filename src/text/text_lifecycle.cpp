#include "text/text_lifecycle.h"

#include "shell/interpreter.h"

namespace velmio {

void InitialiseText(Interpreter& engine) { engine.text.configuredFontFace.clear(); }

void ResetTextForStart(Interpreter& engine) {
  TextState& text = engine.text;
  text.fontFace = text.defaultFontFace;
  text.column = 0;
  text.line = 0;
}

}  // namespace velmio
