#include "platform/sdl/notice_painter.h"

#include <algorithm>

#include "files/fonts/glyph_rasteriser.h"
#include "platform/sdl/widget_painting.h"

namespace velmio {
namespace {

constexpr uint32_t kPlate = 0xC0202020;
constexpr uint32_t kLetters = 0xFFF4F4F4;
constexpr int kPadding = 8;

}  // namespace

NoticePainter::NoticePainter() : rasteriser_(std::make_unique<fonts::GlyphRasteriser>()) {
  rasteriser_->SelectFont(fonts::FontRequest{kWidgetFontFace, kWidgetFontHeight, 0, fonts::kWeightDefault});
}

NoticePainter::~NoticePainter() = default;

int NoticePainter::Paint(const std::string& text, uint32_t* pixels, int stride, int maxWidth) {
  int width = std::min(rasteriser_->Measure(text, fonts::TextEncoding::Utf8) + 2 * kPadding, maxWidth);
  PixelCanvas canvas{pixels, stride, width, kHeight};
  FillRect(canvas, {0, 0, width, kHeight}, kPlate);
  // The plate is translucent; the letters come out opaque so that they stay crisp over any picture.
  PaintText(canvas, *rasteriser_, coverage_, kPadding, (kHeight - rasteriser_->CellHeight()) / 2, text, kLetters,
            kPlate);
  return width;
}

}  // namespace velmio
