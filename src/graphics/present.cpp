#include "graphics/present.h"

#include <algorithm>

#include "graphics/graphics_context.h"

namespace velmio {

void CopyToWindow(GraphicsContext& engine, const Surface& source, const ScreenArea& area) {
  if (source.Empty() || source.BitsPerPixel() != 24 || source.width != kScreenWidth ||
      source.height != kScreenHeight)
    return;
  int left = std::max(area.left, 0);
  int top = std::max(area.top, 0);
  int right = std::min(area.left + area.width, kScreenWidth);
  int bottom = std::min(area.top + area.height, kScreenHeight);
  if (left >= right || top >= bottom) return;
  engine.platform.Present(source.pixels, source.stride, ScreenArea{left, top, right - left, bottom - top});
}

void CopyToWindow(GraphicsContext& engine, const Surface& source, int left, int top, int right, int bottom) {
  CopyToWindow(engine, source, ScreenArea{left, top, right - left + 1, bottom - top + 1});
}

void PresentDisplay(GraphicsContext& engine) {
  CopyToWindow(engine, engine.graphics.display, ScreenArea{0, 0, kScreenWidth, kScreenHeight});
}

void ShowComposedRect(GraphicsContext& engine, int left, int top, int right, int bottom) {
  GraphicsState& graphics = engine.graphics;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, kScreenWidth - 1);
  bottom = std::min(bottom, kScreenHeight - 1);
  if (left > right || top > bottom) return;
  CopySurfaceRect(graphics.display, left, top, right - left + 1, bottom - top + 1, graphics.compose, left, top);
  CopyToWindow(engine, graphics.display, left, top, right, bottom);
}

}  // namespace velmio
