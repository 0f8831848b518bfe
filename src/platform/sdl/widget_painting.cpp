#include "platform/sdl/widget_painting.h"

#include <algorithm>

#include "files/fonts/glyph_rasteriser.h"

namespace velmio {
namespace {

uint32_t Mix(uint32_t background, uint32_t colour, unsigned coverage) {
  uint32_t result = 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    unsigned b = background >> shift & 0xFF, c = colour >> shift & 0xFF;
    result |= ((b * (255 - coverage) + c * coverage + 127) / 255) << shift;
  }
  return result;
}

}  // namespace

void FillRect(const PixelCanvas& canvas, WidgetRect rect, uint32_t colour) {
  int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
  int right = std::min(rect.left + rect.width, canvas.width);
  int bottom = std::min(rect.top + rect.height, canvas.height);
  for (int y = top; y < bottom && left < right; ++y)
    std::fill(canvas.pixels + y * canvas.stride + left, canvas.pixels + y * canvas.stride + right, colour);
}

void FrameRect(const PixelCanvas& canvas, WidgetRect rect, uint32_t colour) {
  FillRect(canvas, {rect.left, rect.top, rect.width, 1}, colour);
  FillRect(canvas, {rect.left, rect.top + rect.height - 1, rect.width, 1}, colour);
  FillRect(canvas, {rect.left, rect.top, 1, rect.height}, colour);
  FillRect(canvas, {rect.left + rect.width - 1, rect.top, 1, rect.height}, colour);
}

void PaintCheckMark(const PixelCanvas& canvas, int x, int y, uint32_t colour) {
  // Down-right for three steps, then up-right for five, two pixels thick.
  static constexpr int kRise[] = {0, 1, 2, 3, 2, 1, 0, -1, -2};
  for (int i = 0; i < 9; ++i) FillRect(canvas, {x + i, y + 2 + kRise[i], 1, 2}, colour);
}

void PaintText(const PixelCanvas& canvas, fonts::GlyphRasteriser& rasteriser, std::vector<uint8_t>& scratch, int x,
               int y, const std::string& text, uint32_t colour, uint32_t background) {
  int textWidth = rasteriser.Measure(text, fonts::TextEncoding::Utf8), cellHeight = rasteriser.CellHeight();
  if (textWidth <= 0 || cellHeight <= 0) return;
  scratch.assign(static_cast<size_t>(textWidth) * cellHeight, 0);
  fonts::CoveragePlane plane{scratch.data(), textWidth, cellHeight, textWidth};
  rasteriser.Draw(text, fonts::TextEncoding::Utf8, plane, 0, 0);
  for (int row = 0; row < cellHeight; ++row) {
    int py = y + row;
    if (py < 0 || py >= canvas.height) continue;
    for (int column = 0; column < textWidth; ++column) {
      int px = x + column;
      unsigned coverage = scratch[static_cast<size_t>(row) * textWidth + column];
      if (px < 0 || px >= canvas.width || coverage == 0) continue;
      canvas.pixels[py * canvas.stride + px] = Mix(background, colour, coverage);
    }
  }
}

}  // namespace velmio
