#pragma once
#include <string>

#include "script/script.h"

namespace velmio {

class Interpreter;

// Executes statements from the read position. The definition phase starts at `define` and returns
// after `game`; the run phase returns only when a re-initialisation is requested.
void RunScenario(Interpreter& engine, Phase phase);

// Reads a story line from the read position up to its line feed, replacing `$` and `%` operands
// by their values (numbers in full-width digits).
std::string ExpandTextLine(Script& script);

}  // namespace velmio
