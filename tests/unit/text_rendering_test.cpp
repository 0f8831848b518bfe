// Glyph cells on the screen, checked against references the tests compute from the glyph
// canvas with plain arithmetic.
#include <algorithm>
#include <array>

#include "files/fonts/glyph_rasteriser.h"
#include "graphics_test_support.h"
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

TEST(GlyphCell, TypedCellMatchesTheCanvasFilteredAndBlendedOverTheScreen) {
  TestEngine test;
  Interpreter& engine = test.engine;
  TextState& text = engine.text;
  Surface& display = engine.graphics.display;
  // A screen with something on it, and the window counted as shown so typing draws over it.
  Paint(display, kScreenWidth, kScreenHeight, [](int x, int y) { return Pattern(x, y, 0); });
  Surface before;
  CopySurface(before, display);
  text.windowShown = true;
  text.composeTextWindow = true;
  text.fontFace = Sjis("ＭＳ ゴシック");
  text.charWait = 0;
  std::tie(text.textRed, text.textGreen, text.textBlue) = std::tuple(200, 100, 50);
  text.column = 3;
  text.line = 2;
  const int x0 = text.textX + 3 * text.pitchX, y0 = text.textY + 2 * text.pitchY;

  DisplayText(engine, Sjis("永/"));

  int full = 0, partial = 0;
  for (int i = 0; i < text.glyphHeight; ++i) {
    int previous = 0;  // a glyph pixel also darkens the screen pixel to its right, the cell's last one too
    for (int j = 0; j <= text.glyphWidth; ++j) {
      const int a = j < text.glyphWidth ? ReferenceCoverage(text.canvas, i, j) : 0;
      auto over = [&](int ink, uint8_t under) {
        return uint8_t(std::min(255, ink * a / 255 + under * (255 - previous) / 255 * (255 - a) / 255));
      };
      const Rgb under = GetPixel(before, x0 + j, y0 + i);
      ASSERT_EQ(GetPixel(display, x0 + j, y0 + i), (Rgb{over(200, under.r), over(100, under.g), over(50, under.b)}))
          << i << "," << j;
      if (j < text.glyphWidth) {
        ASSERT_EQ(text.layers.coverage[static_cast<size_t>(y0 + i) * kScreenWidth + x0 + j], a) << i << "," << j;
        EXPECT_EQ(GetPixel(text.layers.colour, x0 + j, y0 + i),
                  (Rgb{uint8_t(200 * a / 255), uint8_t(100 * a / 255), uint8_t(50 * a / 255)}));
      }
      full += a == 255;
      partial += a > 0 && a < 255;
      previous = a;
    }
  }
  EXPECT_GT(full, 20);  // the strokes are solid...
  EXPECT_GT(partial, 20);  // ...and their edges anti-aliased
}

TEST(GlyphCanvas, BoldOverstrikesTheBoldFontOnePixelToTheRight) {
  GlyphCanvas canvas;
  canvas.SelectFont(GlyphFont{Sjis("ＭＳ ゴシック"), 20, 22, true});
  EXPECT_GE(canvas.Width(), 60);
  EXPECT_GE(canvas.Height(), 66);
  canvas.Rasterise(0x89, 0x69);  // 永

  fonts::GlyphRasteriser rasteriser;
  rasteriser.SelectFont(fonts::FontRequest{Sjis("ＭＳ ゴシック"), 66, 30, fonts::kWeightBold});
  std::vector<uint8_t> once(static_cast<size_t>(canvas.Width()) * canvas.Height()), shifted(once.size());
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
