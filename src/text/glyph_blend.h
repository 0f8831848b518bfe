#pragma once
// Putting a filtered glyph cell on the screen: the coverage and the weighted colour go into the
// TextLayers (when given), the display surface gets the text blended over it and, with a
// shadow, the pixel right of each glyph pixel darkened by its coverage.
#include <cstdint>
#include <vector>

namespace velmio {

struct Surface;
struct TextLayers;

struct TextColour {
  uint8_t red = 255;
  uint8_t green = 255;
  uint8_t blue = 255;

  static TextColour FromRgb(uint32_t rgb) {
    return TextColour{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
  }
};

enum class Shadow : uint8_t { Off, On };

// `cell` holds width x height coverage bytes, row by row; its top-left pixel lands on (x, y) of
// the 640 x 480 x 24 `display`. Pixels are visited row by row, left to right, so each glyph
// pixel blends over the shadow its left neighbour cast. Parts off the screen are skipped.
void BlendGlyphCell(const std::vector<uint8_t>& cell, int width, int height, int x, int y, TextColour colour,
                    Shadow shadow, TextLayers* layers, Surface& display);

// The text of the layers over the inclusive rectangle of the 24-bit `target`: each pixel with
// coverage a becomes min(255, old * (255 - a) / 255 + colour layer), and with a shadow the pixel
// right of it old * (255 - a) / 255. The rectangle must lie on the screen.
void BlendTextLayers(const TextLayers& layers, Shadow shadow, int left, int top, int right, int bottom,
                     Surface& target);

}  // namespace velmio
