// Placeholder until the text subsystem provides these (see text_window_hook.h): the text
// window is never shown, so neither step has anything to do.
#include "graphics/text_window_hook.h"

namespace velmio {

void DrawTextWindowOnCompose(Interpreter& engine, const DirtyRect& rect) {}
void EraseTextWindow(Interpreter& engine) {}

}  // namespace velmio
