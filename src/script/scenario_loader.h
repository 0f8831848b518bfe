#pragma once
#include <string>
#include <vector>

#include "script/script.h"

namespace velmio {

// What loading found besides the text, for the author.
struct ScenarioLoad {
  bool found = false;  // some scenario file was read
  // Files whose text is UTF-8 (a byte-order mark, or valid UTF-8 with non-ASCII characters,
  // which real Shift JIS text never is): the game reads them as Shift JIS and shows mojibake.
  std::vector<std::string> utf8Files;
};

// Fills the script with the scenario of the current folder: "velm_sec.dat" or "velmio.dat" when
// there is no "0.txt", else the numbered files "0.txt" to "99.txt".
ScenarioLoad LoadScenario(Script& script);

// True for text that is UTF-8 rather than Shift JIS, as described for ScenarioLoad.
bool LooksLikeUtf8(std::string_view text);

// The line for an author whose folder holds no scenario: which files were looked for, where.
std::string DescribeMissingScenario();

// Tells the author on standard error about a missing scenario, and warns about UTF-8 files; the
// game itself plays them as written.
void NoteScenarioProblems(const ScenarioLoad& load);

}  // namespace velmio
