#pragma once
// Drawing for the program's own widgets (menu bar, message boxes) into 32-bit 0xAARRGGBB pixels.
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

namespace fonts {
class GlyphRasteriser;
}

struct WidgetRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool Contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
};

// Pixels `width` x `height`, rows `stride` pixels apart; everything drawn is clipped to them.
struct PixelCanvas {
  uint32_t* pixels = nullptr;
  int stride = 0;
  int width = 0;
  int height = 0;
};

namespace widget_colour {
constexpr uint32_t kFace = 0xFFF0F0F0;
constexpr uint32_t kHighlight = 0xFFCCE8FF;
constexpr uint32_t kHighlightEdge = 0xFF99D1FF;
constexpr uint32_t kText = 0xFF000000;
constexpr uint32_t kEdge = 0xFF979797;
// The caption bar of boxes and dialogs, and the frame of the button Enter takes.
constexpr uint32_t kTitleText = 0xFFFFFFFF;
constexpr uint32_t kTitleBackground = 0xFF3C5A82;
constexpr uint32_t kFocus = 0xFF0078D7;
}  // namespace widget_colour

// The face every widget writes in, and its size.
constexpr char kWidgetFontFace[] = "IPAGothic";
constexpr int kWidgetFontHeight = 14;

void FillRect(const PixelCanvas& canvas, WidgetRect rect, uint32_t colour);
void FrameRect(const PixelCanvas& canvas, WidgetRect rect, uint32_t colour);
// A tick 9 pixels wide and 6 high with its top-left corner at (x, y).
void PaintCheckMark(const PixelCanvas& canvas, int x, int y, uint32_t colour);

// Writes UTF-8 text with the rasteriser's selected font, its cell's top-left at (x, y), blended
// over `background`. `scratch` is reused between calls.
void PaintText(const PixelCanvas& canvas, fonts::GlyphRasteriser& rasteriser, std::vector<uint8_t>& scratch, int x,
               int y, const std::string& text, uint32_t colour, uint32_t background);

}  // namespace velmio
