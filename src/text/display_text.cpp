#include "text/display_text.h"

#include "shell/interpreter.h"

namespace velmio {

// Until the text window exists the loop's TEXT log line is all a story line produces.
void DisplayText(Interpreter& engine, const std::string& line) {}

}  // namespace velmio
