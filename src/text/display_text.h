#pragma once
#include <string>

namespace velmio {

class Interpreter;

// Shows one expanded story line (Shift JIS, without its line feed).
void DisplayText(Interpreter& engine, const std::string& line);

}  // namespace velmio
