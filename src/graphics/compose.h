#pragma once
// Screen composition: DrawLayer, the colour filters and ComposeScreen.
#include <optional>

#include "graphics/graphics_state.h"

namespace velmio {

// Draws `layer` onto the 24-bit `target` with its top-left corner at (x, y), limited to `clip`
// (right and bottom exclusive), with the layer's transparency mode, alpha and current cell.
// Draws nothing for an empty layer, a depth other than 8 or 24 bits, mode AlphaMask on an
// 8-bit picture, or a target that is not 24 bits. Never reads or writes outside either surface.
void DrawLayer(const PictureLayer& layer, Surface& target, const ClipRect& clip, int x, int y);

// The filters over the inclusive rectangle of a 24-bit surface (one flat pass when it is the
// whole 640 x 480 screen).
void ApplyNegative(Surface& surface, int left, int top, int right, int bottom);
void ApplyMonochrome(Surface& surface, int left, int top, int right, int bottom, uint8_t red, uint8_t green,
                     uint8_t blue);

// Rebuilds the inclusive rectangle `rect` of the compose surface from the background, the
// sprites, the standing pictures and the filters. Without a rect: the whole screen. Returns the
// rectangle rebuilt, clamped to the screen, for the text window that goes over it (the
// engine's RecomposeScreen); nothing when it is empty. Does not clear the DirtyRect
// (ShowWithEffect does).
std::optional<DirtyRect> ComposeScreen(GraphicsState& graphics, const DirtyRect& rect);
std::optional<DirtyRect> ComposeScreen(GraphicsState& graphics);


}  // namespace velmio
