#pragma once
// A list of texts the reader picks from with the pointer: the choices of the scenario, laid out
// on the text window's grid, and the right-click menu's items, centred on the shaded screen.
#include <span>
#include <string>

namespace velmio {

class UiContext;

constexpr int kNoChoice = -1;

// Shows `texts` (Shift JIS) and waits until one is taken; returns its index, or kNoChoice when
// the list was left without a choice (the menu cancelled with a right click, a reset or a load
// asked for from the right-click menu). While the text state's menuMode is set the entries are
// centred on the whole screen (column and line unused); otherwise the first one starts at the
// cell (column, line) of the text window.
int ShowChoices(UiContext& engine, std::span<const std::string> texts, int column, int line);

}  // namespace velmio
