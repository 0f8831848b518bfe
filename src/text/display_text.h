#pragma once
#include <string_view>

namespace velmio {

class TextContext;

// Types one line of story text (Shift JIS, without its line feed; a zero byte also ends it) into
// the text window: control marks, typing delay, line breaking, automatic click waits. Returns
// when the line is done, or early when a wait's right-click menu asked for a reset or a load.
void DisplayText(TextContext& engine, std::string_view line);

}  // namespace velmio
