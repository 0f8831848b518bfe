#pragma once
#include <string>
#include <string_view>

namespace velmio {

// Finds the file a scenario names (Shift JIS, folders separated by backslashes or slashes,
// relative to the game folder, which is the working folder). Games were written for a file
// system that ignores letter case and names files in Shift JIS, so when the name does not exist
// as written, it is tried in UTF-8 and then component by component ignoring ASCII letter case.
// Returns a path to an existing regular file, or "" when there is none.
std::string LocateGameFile(std::string_view name);

}  // namespace velmio
