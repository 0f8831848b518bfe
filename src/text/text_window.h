#pragma once
// The text window on the screen: its background (colour tint or picture), showing, erasing and
// clearing it, and line and page ends.
#include <optional>

#include "graphics/graphics_state.h"
#include "text/text_state.h"

namespace velmio {

class TextContext;
struct Surface;

// `windowRect` with left and right clamped into 0..639 and top and bottom into 0..479; empty when
// right < left or bottom < top.
TextRect ClampedWindowRect(const TextRect& rect);
inline bool IsEmpty(const TextRect& rect) { return rect.right < rect.left || rect.bottom < rect.top; }

// Ends the current line: column 0, a line end in the History, the next line. Reaching
// `lineCount` is a fatal error.
void NewLine(TextContext& engine);

// Empties the window for a new page; redraws the window background at once when it is shown.
void ClearTextPage(TextContext& engine);

// When the window is shown and `eraseWindowMode` is non-zero, hides it with the window effect
// (before `print` and the picture commands). The text stays in the layers.
void EraseTextWindow(TextContext& engine);

// The same with the erase setting forced on for the call (`textoff`, `setwindow`).
void EraseTextWindowForced(TextContext& engine);

// The window part of the inclusive `area` (the whole window without one) on the compose
// surface: its background, then the text of the layers.
void DrawTextWindow(TextContext& engine, const std::optional<TextRect>& area);

// ComposeScreen's last step, which the engine runs after it: when `composeTextWindow` is set,
// the window part of the inclusive rectangle on the compose surface (DrawTextWindow).
void DrawTextWindowOnCompose(TextContext& engine, const DirtyRect& rect);

// Tints the inclusive rectangle of `target` with `windowColour`, or draws the window picture
// there; sets `windowShown`.
void ShadeTextWindow(TextContext& engine, int left, int top, int right, int bottom, Surface& target);

// Puts the window on the screen with the window effect when it is not shown (the first step of
// typing). False when the window rectangle is empty: there is nowhere to type.
bool ShowTextWindow(TextContext& engine);

}  // namespace velmio
