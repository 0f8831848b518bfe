#include "text/glyph_blend.h"

#include <algorithm>
#include <cassert>

#include "graphics/blend_table.h"
#include "graphics/surface.h"
#include "text/text_state.h"

namespace velmio {

void BlendGlyphCell(const std::vector<uint8_t>& cell, int width, int height, int x, int y, TextColour colour,
                    Shadow shadow, TextLayers* layers, Surface& display) {
  // A scenario can ask for a font of no size (setwindow takes any numbers): nothing to draw.
  if (width <= 0 || height <= 0) return;
  assert(cell.size() >= static_cast<size_t>(width) * height);
  if (display.Empty() || display.BitsPerPixel() != 24) return;
  const uint8_t* redRow = BlendRow(colour.red);
  const uint8_t* greenRow = BlendRow(colour.green);
  const uint8_t* blueRow = BlendRow(colour.blue);
  const int firstColumn = std::max(0, -x);
  const int lastColumn = std::min(width, display.width - x);  // exclusive
  const int firstRow = std::max(0, -y);
  const int lastRow = std::min(height, display.height - y);
  for (int i = firstRow; i < lastRow; ++i) {
    const int screenY = y + i;
    const uint8_t* coverage = cell.data() + static_cast<size_t>(i) * width;
    uint8_t* row = display.Row(screenY);
    uint8_t* coverageMap = layers ? layers->coverage.data() + static_cast<size_t>(screenY) * kScreenWidth : nullptr;
    uint8_t* colourRow = layers ? layers->colour.Row(screenY) : nullptr;
    for (int j = firstColumn; j < lastColumn; ++j) {
      const int screenX = x + j;
      const uint8_t a = coverage[j];
      // Nothing covered and no layers to record it: the pixel and its right neighbour stay.
      if (a == 0 && !layers) continue;
      const uint8_t* keep = BlendRow(255 - a);
      uint8_t* pixel = row + 3 * screenX;
      const uint8_t blue = blueRow[a], green = greenRow[a], red = redRow[a];
      if (layers) {
        coverageMap[screenX] = a;
        uint8_t* stored = colourRow + 3 * screenX;
        stored[0] = blue;
        stored[1] = green;
        stored[2] = red;
      }
      pixel[0] = static_cast<uint8_t>(std::min(255, blue + keep[pixel[0]]));
      pixel[1] = static_cast<uint8_t>(std::min(255, green + keep[pixel[1]]));
      pixel[2] = static_cast<uint8_t>(std::min(255, red + keep[pixel[2]]));
      if (shadow == Shadow::On && screenX + 1 < display.width) {
        uint8_t* right = pixel + 3;
        right[0] = keep[right[0]];
        right[1] = keep[right[1]];
        right[2] = keep[right[2]];
      }
    }
  }
}

void BlendTextLayers(const TextLayers& layers, Shadow shadow, int left, int top, int right, int bottom,
                     Surface& target) {
  assert(left >= 0 && top >= 0 && right < kScreenWidth && bottom < kScreenHeight);
  if (target.Empty() || target.BitsPerPixel() != 24 || target.width < kScreenWidth ||
      target.height < kScreenHeight)
    return;
  for (int y = top; y <= bottom; ++y) {
    const uint8_t* coverage = layers.coverage.data() + static_cast<size_t>(y) * kScreenWidth;
    const uint8_t* colour = layers.colour.Row(y);
    uint8_t* row = target.Row(y);
    for (int x = left; x <= right; ++x) {
      const uint8_t a = coverage[x];
      if (a == 0) continue;
      const uint8_t* keep = BlendRow(255 - a);
      uint8_t* pixel = row + 3 * x;
      const uint8_t* stored = colour + 3 * x;
      pixel[0] = static_cast<uint8_t>(std::min(255, keep[pixel[0]] + stored[0]));
      pixel[1] = static_cast<uint8_t>(std::min(255, keep[pixel[1]] + stored[1]));
      pixel[2] = static_cast<uint8_t>(std::min(255, keep[pixel[2]] + stored[2]));
      if (shadow == Shadow::On && x + 1 < kScreenWidth) {
        uint8_t* next = pixel + 3;
        next[0] = keep[next[0]];
        next[1] = keep[next[1]];
        next[2] = keep[next[2]];
      }
    }
  }
}

}  // namespace velmio
