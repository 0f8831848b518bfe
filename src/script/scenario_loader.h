#pragma once
#include "script/script.h"

namespace velmio {

// Fills the script with the scenario of the current folder: "velm_sec.dat" or "velmio.dat" when
// there is no "0.txt", else the numbered files "0.txt" to "99.txt".
void LoadScenario(Script& script);

}  // namespace velmio
