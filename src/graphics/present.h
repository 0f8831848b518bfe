#pragma once
// Bringing pictures to the window: copies to the window and repaints. The window shows whatever was presented last over each area;
// the platform keeps it (the SDL backend in a streaming texture) and repaints from it.
#include "graphics/graphics_state.h"
#include "platform/platform.h"

namespace velmio {

class GraphicsContext;

// Shows `area` of a 640 x 480 x 24-bit `source` in the window (the area is clipped to the
// screen; nothing happens when it is empty or the source is not a 640 x 480 x 24 picture).
void CopyToWindow(GraphicsContext& engine, const Surface& source, const ScreenArea& area);
// Same, with an inclusive rectangle.
void CopyToWindow(GraphicsContext& engine, const Surface& source, int left, int top, int right, int bottom);
// The window painted anew from the whole display surface (paint handler, end of a quake).
void PresentDisplay(GraphicsContext& engine);
// The final display of an effect: copies the inclusive rectangle from the compose surface into
// the display surface and shows it in the window.
void ShowComposedRect(GraphicsContext& engine, int left, int top, int right, int bottom);

}  // namespace velmio
