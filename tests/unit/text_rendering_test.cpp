// Glyph cells on the screen, checked against references the tests compute from the glyph
// canvas with plain arithmetic.
#include <algorithm>
#include <array>

#include "files/fonts/glyph_rasteriser.h"
#include "test_engine.h"
#include "text/display_text.h"
#include "text/glyph_canvas.h"
#include "text/text_window.h"

namespace velmio::testing {
namespace {

constexpr std::array<std::array<int, 3>, 3> kWeights{{{1, 2, 1}, {2, 4, 2}, {1, 2, 1}}};

// The coverage of cell pixel (j, i): the weighted 3 x 3 block of the canvas, divided by 16.
int ReferenceCoverage(const GlyphCanvas& canvas, int i, int j) {
  int sum = 0;
  for (int dy = 0; dy < 3; ++dy)
    for (int dx = 0; dx < 3; ++dx) sum += kWeights[dy][dx] * canvas.Row(3 * i + dy)[3 * j + dx];
  return sum / 16;
}

struct Pixel {
  int blue, green, red;
  bool operator==(const Pixel&) const = default;
};

Pixel At(const Surface& surface, int x, int y) {
  const uint8_t* p = surface.Row(y) + 3 * x;
  return Pixel{p[0], p[1], p[2]};
}

TEST(GlyphCell, TypedCellMatchesTheCanvasFilteredAndBlendedOverTheScreen) {
  TestEngine test;
  Interpreter& engine = test.engine;
  TextState& text = engine.text;
  Surface& display = engine.graphics.display;
  // A screen with something on it, and the window counted as shown so typing draws over it.
  for (int y = 0; y < kScreenHeight; ++y)
    for (int x = 0; x < kScreenWidth; ++x) {
      uint8_t* p = display.Row(y) + 3 * x;
      p[0] = static_cast<uint8_t>(x * 7);
      p[1] = static_cast<uint8_t>(y * 5);
      p[2] = static_cast<uint8_t>(x + y);
    }
  text.windowShown = true;
  text.composeTextWindow = true;
  text.fontFace = Sjis("ＭＳ ゴシック");
  text.charWait = 0;
  text.textRed = 200;
  text.textGreen = 100;
  text.textBlue = 50;
  text.column = 3;
  text.line = 2;
  const int x0 = text.textX + 3 * text.pitchX, y0 = text.textY + 2 * text.pitchY;

  std::vector<Pixel> work;  // the expected screen around the cell, computed step by step
  const int width = text.glyphWidth + 1;
  for (int i = 0; i < text.glyphHeight; ++i)
    for (int j = 0; j < width; ++j) work.push_back(At(display, x0 + j, y0 + i));

  DisplayText(engine, Sjis("永/"));

  int full = 0, partial = 0;
  const int colour[3] = {50, 100, 200};  // blue, green, red
  for (int i = 0; i < text.glyphHeight; ++i) {
    for (int j = 0; j < text.glyphWidth; ++j) {
      const int a = ReferenceCoverage(text.canvas, i, j);
      full += a == 255;
      partial += a > 0 && a < 255;
      Pixel& p = work[static_cast<size_t>(i) * width + j];
      int* channels[3] = {&p.blue, &p.green, &p.red};
      for (int c = 0; c < 3; ++c) *channels[c] = std::min(255, colour[c] * a / 255 + *channels[c] * (255 - a) / 255);
      Pixel& right = work[static_cast<size_t>(i) * width + j + 1];
      right = Pixel{right.blue * (255 - a) / 255, right.green * (255 - a) / 255, right.red * (255 - a) / 255};

      const size_t screen = static_cast<size_t>(y0 + i) * kScreenWidth + x0 + j;
      ASSERT_EQ(text.layers.coverage[screen], a) << i << "," << j;
      EXPECT_EQ(At(text.layers.colour, x0 + j, y0 + i), (Pixel{50 * a / 255, 100 * a / 255, 200 * a / 255}));
    }
  }
  EXPECT_GT(full, 20);  // the strokes are solid...
  EXPECT_GT(partial, 20);  // ...and their edges anti-aliased
  for (int i = 0; i < text.glyphHeight; ++i)
    for (int j = 0; j < width; ++j)
      ASSERT_EQ(At(display, x0 + j, y0 + i), work[static_cast<size_t>(i) * width + j]) << i << "," << j;
}

TEST(GlyphCanvas, BoldOverstrikesTheBoldFontOnePixelToTheRight) {
  GlyphCanvas canvas;
  canvas.SelectFont(GlyphFont{Sjis("ＭＳ ゴシック"), 20, 22, true});
  EXPECT_GE(canvas.Width(), 60);
  EXPECT_GE(canvas.Height(), 66);
  canvas.Rasterise(0x89, 0x69);  // 永

  fonts::GlyphRasteriser rasteriser;
  rasteriser.SelectFont(fonts::FontRequest{Sjis("ＭＳ ゴシック"), 66, 30, fonts::kWeightBold});
  std::vector<uint8_t> once(static_cast<size_t>(canvas.Width()) * canvas.Height());
  std::vector<uint8_t> shifted(once.size());
  fonts::CoveragePlane plane{once.data(), canvas.Width(), canvas.Height(), canvas.Width()};
  rasteriser.Draw("\x89\x69", fonts::TextEncoding::ShiftJis, plane, 0, 0);
  plane.pixels = shifted.data();
  rasteriser.Draw("\x89\x69", fonts::TextEncoding::ShiftJis, plane, 1, 0);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      size_t at = static_cast<size_t>(y) * canvas.Width() + x;
      ASSERT_EQ(canvas.Row(y)[x], std::max(once[at], shifted[at])) << x << "," << y;
    }

  // The canvas grows for a larger font and never shrinks for a smaller one.
  canvas.SelectFont(GlyphFont{Sjis("ＭＳ ゴシック"), 40, 10, false});
  EXPECT_EQ(canvas.Width(), 120);
  EXPECT_EQ(canvas.Height(), 66);
}

TEST(TextWindow, DrawTextWindowGivesTheTypedAppearanceOnRecomposition) {
  TestEngine test;
  Interpreter& engine = test.engine;
  engine.text.fontFace = Sjis("ＭＳ ゴシック");
  engine.text.charWait = 0;
  engine.graphics.background.Fill(0, 0, kScreenWidth, kScreenHeight, 0x4080c0);
  const Surface& display = engine.graphics.display;
  auto screen = [&] { return std::vector<uint8_t>(display.pixels, display.pixels + display.imageSize); };
  DisplayText(engine, Sjis("「永い」、字。/"));
  const std::vector<uint8_t> typed = screen();
  // Hidden and shown again: composed from the layers, the same picture.
  engine.text.eraseWindowMode = 1;
  EraseTextWindow(engine);
  EXPECT_FALSE(engine.text.windowShown);
  EXPECT_NE(screen(), typed);
  DisplayText(engine, "");
  EXPECT_EQ(screen(), typed);
}

}  // namespace
}  // namespace velmio::testing
