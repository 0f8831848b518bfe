#pragma once
// The canvas glyphs are rasterised on at three times their cell size, and the 3 x 3 filter that
// brings them down to the cell's coverage. White text on black: one byte per pixel holds the
// blue channel, the only one the filter reads.
#include <cstdint>
#include <string>
#include <vector>

#include "files/fonts/glyph_rasteriser.h"

namespace velmio {

// The font settings a glyph is drawn with.
struct GlyphFont {
  std::string face;  // Shift JIS
  int32_t glyphWidth = 26;
  int32_t glyphHeight = 26;
  bool bold = false;
};

class GlyphCanvas {
 public:
  // Grows the canvas to at least width x height (it never shrinks).
  void Grow(int width, int height);
  // Creates and selects the text font for cells of the given size: height 3 x glyph height,
  // average width 3 x glyph width / 2, weight 700 when bold. Grows the canvas to fit.
  void SelectFont(const GlyphFont& font);
  // Fills the canvas with black and draws the two bytes at (0, 0), and again at (1, 0) when the
  // font is bold.
  void Rasterise(uint8_t first, uint8_t second);
  // The coverage of the cell pixels (row by row, glyphWidth x glyphHeight bytes into `cell`):
  // the 1 2 1 / 2 4 2 / 1 2 1 weighted sum of each 3 x 3 block, divided by 16.
  void Filter(std::vector<uint8_t>& cell) const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const GlyphFont& Font() const { return font_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
  GlyphFont font_;
  fonts::GlyphRasteriser rasteriser_;
};

}  // namespace velmio
