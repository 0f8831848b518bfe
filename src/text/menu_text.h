#pragma once
// Whole strings drawn at once in a caller's colour, for choices and menus: on the text window's
// grid with its line breaking, or, while the right-click menu is open (menu mode), anywhere on a
// shaded screen without wrapping.
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace velmio {

class TextContext;
struct Surface;

// Draws `text` (Shift JIS; tabs and spaces take no cell) from the cell (column, line): a value of
// 0 or more is a grid index on the text window's grid, a negative value -v the pixel coordinate
// v (a negative column also turns off wrapping and cell counting). On return column and line
// point after the text: a non-zero column becomes 0 of the next line. Returns the cells used,
// never more than `charsPerLine`. With `drawn`, the cells are not shown in the window one by one
// but added to that area, for the caller to show at once.
int DrawMenuText(TextContext& engine, std::string_view text, int& column, int& line, uint32_t rgb,
                 ScreenArea* drawn = nullptr);

// The smallest area holding both (an empty area adds nothing).
ScreenArea Union(const ScreenArea& a, const ScreenArea& b);

// Darkens the inclusive rectangle of `target` towards the menu colour; the window counts as
// shown from then on.
void ShadeMenuArea(TextContext& engine, int left, int top, int right, int bottom, Surface& target);

}  // namespace velmio
