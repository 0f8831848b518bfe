#include "text/glyph_canvas.h"

#include <algorithm>
#include <cstring>

namespace velmio {

void GlyphCanvas::Grow(int width, int height) {
  if (width <= width_ && height <= height_) return;
  width_ = std::max(width, width_);
  height_ = std::max(height, height_);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
}

void GlyphCanvas::SelectFont(const GlyphFont& font) {
  font_ = font;
  int cellWidth = std::max(font.glyphWidth, 0);
  int cellHeight = std::max(font.glyphHeight, 0);
  Grow(3 * cellWidth, 3 * cellHeight);
  rasteriser_.SelectFont(fonts::FontRequest{font.face, 3 * cellHeight, 3 * cellWidth / 2,
                                            font.bold ? fonts::kWeightBold : fonts::kWeightDefault});
}

void GlyphCanvas::Rasterise(uint8_t first, uint8_t second) {
  std::fill(pixels_.begin(), pixels_.end(), 0);
  if (pixels_.empty()) return;
  const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
  fonts::CoveragePlane plane{pixels_.data(), width_, height_, width_};
  rasteriser_.Draw(std::string_view(pair, 2), fonts::TextEncoding::ShiftJis, plane, 0, 0);
  if (font_.bold) rasteriser_.Draw(std::string_view(pair, 2), fonts::TextEncoding::ShiftJis, plane, 1, 0);
}

void GlyphCanvas::Filter(std::vector<uint8_t>& cell) const {
  const int cellWidth = std::max(font_.glyphWidth, 0);
  const int cellHeight = std::max(font_.glyphHeight, 0);
  cell.resize(static_cast<size_t>(cellWidth) * cellHeight);
  for (int i = 0; i < cellHeight; ++i) {
    const uint8_t* top = Row(3 * i);
    const uint8_t* middle = Row(3 * i + 1);
    const uint8_t* bottom = Row(3 * i + 2);
    uint8_t* out = cell.data() + static_cast<size_t>(i) * cellWidth;
    for (int j = 0; j < cellWidth; ++j) {
      const int x = 3 * j;
      unsigned sum = top[x] + 2u * top[x + 1] + top[x + 2] + 2u * middle[x] + 4u * middle[x + 1] +
                     2u * middle[x + 2] + bottom[x] + 2u * bottom[x + 1] + bottom[x + 2];
      out[j] = static_cast<uint8_t>(sum / 16);
    }
  }
}

}  // namespace velmio
