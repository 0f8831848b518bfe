#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "base/encoding.h"
#include "files/fonts/font_catalogue.h"
#include "files/fonts/glyph_rasteriser.h"

namespace velmio::fonts {
namespace {

TEST(FontCatalogue, WindowsFacesMapToIpaGothicAndUnknownFacesFallBack) {
  for (auto [face, family] : {std::pair{"ＭＳ ゴシック", "IPAGothic"}, {"ms gothic", "IPAGothic"}, {"ＭＳ 明朝", "IPAGothic"},
                              {"Some Face", "Some Face"}})
    EXPECT_EQ(MapWindowsFaceName(face), family);

  auto gothic = FindFontFileSjis(Sjis("ＭＳ ゴシック"));
  auto unknown = FindFontFile("No Such Face At All");
  ASSERT_TRUE(gothic && unknown);
  EXPECT_EQ(std::pair(gothic->family, unknown->path), std::pair(std::string("IPAGothic"), gothic->path));

  const auto& families = JapaneseFixedPitchFamilies();
  EXPECT_TRUE(std::any_of(families.begin(), families.end(), [](const FontFamily& f) { return f.name == "IPAGothic"; }));
  // Proportional faces are not offered.
  EXPECT_FALSE(std::any_of(families.begin(), families.end(), [](const FontFamily& f) { return f.name == "IPAPGothic"; }));
}

struct Canvas {
  Canvas(int width, int height) : width(width), height(height), pixels(static_cast<size_t>(width) * height) {}
  CoveragePlane Plane() { return CoveragePlane{pixels.data(), width, height, width}; }
  long Sum() const { return std::accumulate(pixels.begin(), pixels.end(), 0L); }
  int RightmostInked() const {
    int right = -1;
    for (size_t i = 0; i < pixels.size(); ++i)
      if (pixels[i]) right = std::max(right, static_cast<int>(i) % width);
    return right;
  }
  int width, height;
  std::vector<uint8_t> pixels;
};

TEST(GlyphRasteriser, FullWidthCharacterFillsItsCellAndTwoHalfWidthShareIt) {
  GlyphRasteriser rasteriser;
  rasteriser.SelectFont(FontRequest{Sjis("ＭＳ ゴシック"), 78, 39, kWeightDefault});
  Canvas kanji(78, 78);
  EXPECT_NEAR(rasteriser.Draw(Sjis("漢"), TextEncoding::ShiftJis, kanji.Plane(), 0, 0), 78, 2);
  EXPECT_GT(kanji.Sum(), 78 * 78 * 255 / 20);
  EXPECT_GT(kanji.RightmostInked(), 39);

  Canvas pair(78, 78), a(78, 78);
  EXPECT_NEAR(rasteriser.Draw("AB", TextEncoding::ShiftJis, pair.Plane(), 0, 0), 78, 2);
  EXPECT_GT(pair.RightmostInked(), 39);  // the B lies in the right half
  rasteriser.Draw("A", TextEncoding::ShiftJis, a.Plane(), 0, 0);
  EXPECT_LT(a.RightmostInked(), 40);

  // Drawing the same glyph again from the cache gives the same pixels.
  Canvas again(78, 78);
  rasteriser.Draw(Sjis("漢"), TextEncoding::ShiftJis, again.Plane(), 0, 0);
  EXPECT_EQ(again.pixels, kanji.pixels);
}

TEST(GlyphRasteriser, BoldIsHeavierAndBadBytesAreSkipped) {
  GlyphRasteriser rasteriser;
  Canvas regular(78, 78), bold(78, 78);
  rasteriser.SelectFont(FontRequest{Sjis("ＭＳ ゴシック"), 78, 39, kWeightDefault});
  rasteriser.Draw(Sjis("字"), TextEncoding::ShiftJis, regular.Plane(), 0, 0);
  rasteriser.SelectFont(FontRequest{Sjis("ＭＳ ゴシック"), 78, 39, kWeightBold});
  rasteriser.Draw(Sjis("字"), TextEncoding::ShiftJis, bold.Plane(), 0, 0);
  EXPECT_GT(bold.Sum(), regular.Sum() * 11 / 10);

  // A lone lead byte at the end and an invalid pair draw nothing and read nothing past the text.
  Canvas nothing(78, 78);
  EXPECT_EQ(rasteriser.Draw(std::string("\x82", 1), TextEncoding::ShiftJis, nothing.Plane(), 0, 0), 0);
  rasteriser.Draw(std::string("\x85\x20", 2), TextEncoding::ShiftJis, nothing.Plane(), 0, 0);
  EXPECT_EQ(nothing.Sum(), 0);

  // Drawing partly outside the plane is clipped: what remains is the same part of the glyph.
  for (int offset : {-30, 5}) {
    Canvas small(48, 48);
    rasteriser.Draw(Sjis("字"), TextEncoding::ShiftJis, small.Plane(), offset, offset);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const int gx = x - offset, gy = y - offset;
        const bool inside = gx >= 0 && gy >= 0 && gx < 78 && gy < 78;
        ASSERT_EQ(small.pixels[y * 48 + x], inside ? bold.pixels[gy * 78 + gx] : 0) << offset << ": " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace velmio::fonts
