// Surface layout, DrawLayer, the filters, the DirtyRect, the blend kernels.
#include "graphics/compose.h"
#include "graphics/pixel_kernels.h"
#include "graphics_test_support.h"

namespace velmio::testing {
namespace {

constexpr Rgb kKey{255, 0, 255};  // magenta

// --- Surface ---

TEST(Surface, BottomUpPaddedLayout) {
  Surface s;
  ASSERT_TRUE(s.Create(5, 3, 24));
  // Rows of 15 bytes padded to 16; the header a file's or a plug-in's would have.
  EXPECT_EQ(std::tuple(s.stride, s.imageSize, s.header.size, s.header.planes, s.header.imageSize),
            std::tuple(16, 48u, 40u, 1, 48u));
  SetPixel(s, 0, 0, Rgb{1, 2, 3});  // top-left pixel: first pixel of the LAST row in memory, blue first
  SetPixel(s, 4, 2, Rgb{9, 8, 7});  // bottom-right: first row in memory
  EXPECT_EQ(std::vector<uint8_t>(s.pixels + 32, s.pixels + 35), (std::vector<uint8_t>{3, 2, 1}));
  EXPECT_EQ(s.pixels[12], 7);
  // Every depth: rows padded to four bytes, a palette of 1 << bits entries up to 8 bits.
  for (auto [width, bits, stride, colours] :
       {std::array{5, 24, 16, 0}, {3, 8, 4, 256}, {9, 1, 4, 2}, {9, 4, 8, 16}, {9, 32, 36, 0}}) {
    ASSERT_TRUE(s.Create(width, 1, bits));
    EXPECT_EQ(std::tuple(s.stride, s.paletteCount, s.info.size()), std::tuple(stride, colours, 40u + 4u * colours))
        << bits;
  }
  // Absurd sizes are refused; the first refusal leaves the surface created above empty.
  for (auto [width, height, bits] : {std::array{0, 10, 24}, {10, -1, 24}, {100000, 100000, 24}, {10, 10, 7}})
    EXPECT_FALSE(s.Create(width, height, bits));
  EXPECT_TRUE(s.Empty());
}

TEST(Surface, FillAndCopyClip) {
  Surface s;
  Paint(s, 6, 4, [](int x, int y) { return Pattern(x, y, 1); });
  FillSurface(s, -3, 1, 2, 99, 0x102030);  // clipped to columns 0..1, rows 1..3
  EXPECT_EQ(GetPixel(s, 0, 1), (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(GetPixel(s, 1, 3), (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(GetPixel(s, 2, 1), Pattern(2, 1, 1));
  EXPECT_EQ(GetPixel(s, 0, 0), Pattern(0, 0, 1));

  Surface src;
  Paint(src, 4, 4, [](int x, int y) { return Pattern(x, y, 9); });
  Surface dst;
  Paint(dst, 5, 5, [](int, int) { return Rgb{}; });
  CopySurfaceRect(dst, -1, 3, 4, 4, src, 0, 0);  // lands at columns 0..2, rows 3..4
  EXPECT_EQ(GetPixel(dst, 0, 3), Pattern(1, 0, 9));
  EXPECT_EQ(GetPixel(dst, 2, 4), Pattern(3, 1, 9));
  EXPECT_EQ(GetPixel(dst, 3, 3), Rgb{});
  EXPECT_EQ(GetPixel(dst, 0, 2), Rgb{});
  CopySurfaceRect(dst, 0, 0, 5, 5, src, -2, -1);  // a source origin outside moves the target
  EXPECT_EQ(GetPixel(dst, 2, 1), Pattern(0, 0, 9));
  EXPECT_EQ(GetPixel(dst, 4, 4), Pattern(2, 3, 9));

  Surface indexed;
  PaintIndexed(indexed, 3, 1, [](int x, int) { return x * 2; }, [](int i) { return Rgb{uint8_t(i), 1, 2}; });
  CopySurfaceRect(dst, 0, 0, 3, 1, indexed, 0, 0);
  EXPECT_EQ(GetPixel(dst, 2, 0), (Rgb{4, 1, 2}));
}

// --- DirtyRect ---

TEST(DirtyRect, UnionClampAndTheZeroRectangle) {
  DirtyRect d;
  EXPECT_TRUE(d.Empty());
  d.Add(-5, -5, 700, 500);
  EXPECT_EQ(Edges(d), (std::array{0, 0, 639, 479}));
  d.Clear();
  d.Add(10, 20, 30, 40);
  d.Add(5, 25, 20, 60);
  EXPECT_EQ(Edges(d), (std::array{5, 20, 30, 60}));
  // (0, 0, 0, 0) counts as empty: a later rectangle replaces it instead of widening it to 0.
  d.Clear();
  d.Add(0, 0, 0, 0);
  EXPECT_TRUE(d.Empty());
  d.Add(100, 100, 110, 110);
  EXPECT_EQ(Edges(d), (std::array{100, 100, 110, 110}));
}

// --- DrawLayer: a few hand-computed anchors of the reference; the random comparison does the rest ---

class DrawLayerTest : public ::testing::Test {
 protected:
  void SetUp() override { Paint(target, 8, 6, [](int x, int y) { return Pattern(x, y, 50); }); }
  Rgb Before(int x, int y) { return Pattern(x, y, 50); }
  Surface target;
  PictureLayer layer;
  const ClipRect whole{0, 0, 8, 6};
};

TEST_F(DrawLayerTest, TopLeftKeyAcrossCells) {
  // Three cells of 3 pixels; the top-left pixel (cell 0) is magenta; cell 2 has magenta too.
  Paint(layer.surface, 9, 2, [](int x, int y) {
    if (x == 0 && y == 0) return kKey;
    if (x == 7) return kKey;
    return Pattern(x, y, 5);
  });
  layer.mode = TransparencyMode::TopLeftKey;
  layer.cells = 3;
  layer.cell = 2;
  DrawLayer(layer, target, whole, 1, 1);
  EXPECT_EQ(GetPixel(target, 1, 1), Pattern(6, 0, 5));
  EXPECT_EQ(GetPixel(target, 2, 1), Before(2, 1));  // magenta of cell 2 is transparent too
  EXPECT_EQ(GetPixel(target, 2, 2), Before(2, 2));
  EXPECT_EQ(GetPixel(target, 3, 2), Pattern(8, 1, 5));
  EXPECT_EQ(GetPixel(target, 4, 1), Before(4, 1));  // only 3 columns: one cell
}

TEST_F(DrawLayerTest, AlphaMaskHalfValue) {
  // One cell of 4 columns: 2 picture columns, 2 mask columns. Mask 128 and 0.
  Paint(layer.surface, 4, 1, [](int x, int) {
    if (x == 0) return Rgb{200, 200, 200};
    if (x == 1) return Rgb{90, 80, 70};
    if (x == 2) return Rgb{0, 0, 128};  // the mask's blue byte counts
    return Rgb{255, 255, 0};
  });
  layer.mode = TransparencyMode::AlphaMask;
  Paint(target, 3, 1, [](int, int) { return Rgb{100, 0, 255}; });
  DrawLayer(layer, target, whole, 0, 0);
  EXPECT_EQ(GetPixel(target, 0, 0), (Rgb{uint8_t(200 * 127 / 255 + 100 * 128 / 255), uint8_t(200 * 127 / 255),
                                         uint8_t(200 * 127 / 255 + 255 * 128 / 255)}));
  EXPECT_EQ(GetPixel(target, 1, 0), (Rgb{90, 80, 70}));  // mask 0: the picture fully
  EXPECT_EQ(GetPixel(target, 2, 0), (Rgb{100, 0, 255}));  // displayed width is 2
}

// --- DrawLayer against the reference, many random cases (run at every kernel level below) ---

void ExpectRandomLayersMatchTheReference(int rounds) {
  std::mt19937 random(12345);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int round = 0; round < rounds; ++round) {
    PictureLayer layer;
    const bool indexed = pick(0, 3) == 0;
    const int cells = pick(1, 4);
    const int width = pick(1, 18) * cells + pick(0, cells - 1);
    const int height = pick(1, 9);
    const int seed = pick(0, 1000);
    // Few distinct colours so that keys match often.
    if (indexed) {
      PaintIndexed(
          layer.surface, width, height, [&](int x, int y) { return (x * 7 + y * 3 + seed) % 5; },
          [&](int i) { return Rgb{uint8_t(i * 40 + seed), uint8_t(i * 17), uint8_t(255 - i)}; });
    } else {
      Paint(layer.surface, width, height, [&](int x, int y) {
        const int k = (x * 5 + y * 3 + seed) % 4;
        return k == 0 ? kKey : Pattern(x, y, seed + k * 50);
      });
    }
    // Mode 1 on 8 bits, 32 and 4 bits and an empty picture are left alone.
    if (pick(0, 15) == 0) (void)layer.surface.Create(width * pick(0, 1), height, pick(0, 1) ? 32 : 4);
    layer.mode = static_cast<TransparencyMode>(pick(0, 3));
    layer.cells = cells;
    layer.cell = pick(0, cells - 1);
    layer.alpha = std::array{-1, -1, 0, 1, 77, 128, 254, 255}[pick(0, 7)];
    std::tie(layer.keyRed, layer.keyGreen, layer.keyBlue) = std::tuple(255, 0, 255);
    layer.keyIndex = pick(0, 4);
    Surface target, expected;
    // Narrow targets for the clipping, wide ones for the vector loops.
    const int tw = pick(0, 1) ? pick(1, 12) : pick(40, 80), th = pick(1, 10);
    Paint(target, tw, th, [&](int x, int y) { return Pattern(x, y, seed + 1); });
    CopySurface(expected, target);
    ClipRect clip{pick(-3, tw), pick(-3, th), pick(0, tw + 3), pick(0, th + 3)};
    // Now and then a position so far out that a careless sum would overflow.
    const auto maybeFar = [&](int near) {
      return pick(0, 30) ? near : std::array{INT32_MIN + 1, -100000, INT32_MAX - 2}[pick(0, 2)];
    };
    const int x = maybeFar(pick(-15, tw + 2)), y = maybeFar(pick(-10, th + 2));
    DrawLayer(layer, target, clip, x, y);
    ReferenceDrawLayer(layer, expected, clip, x, y);
    ASSERT_TRUE(SameSurface(expected, target)) << "round " << round << " mode " << int(layer.mode) << " alpha "
                                                << layer.alpha << " indexed " << indexed << " at " << x << "," << y;
  }
}

// --- Kernels against the table, at every vector level the processor has ---

TEST(BlendKernels, TableIsFloorOfProduct) {
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) ASSERT_EQ(T(i, j), i * j / 255);
}

class KernelLevels : public ::testing::TestWithParam<KernelLevel> {
 protected:
  void SetUp() override {
    ForceKernelLevel(GetParam());
    // A level the processor lacks would silently rerun a narrower one.
    if (ActiveKernelLevel() != GetParam()) GTEST_SKIP() << "the processor lacks this kernel level";
  }
  void TearDown() override { ResetKernelLevel(); }
};

INSTANTIATE_TEST_SUITE_P(AllLevels, KernelLevels,
                         ::testing::Values(KernelLevel::Table, KernelLevel::Sse2, KernelLevel::Avx2));

// Bytes start, start + step, start + 2 step, ... (modulo 256).
std::vector<uint8_t> Ramp(size_t count, int step, int start = 0) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(start + step * static_cast<int>(i));
  return bytes;
}

TEST_P(KernelLevels, CrossfadeTouchesOnlyTheChosenParity) {
  for (size_t pairs : {size_t{100}, size_t{7}, size_t{33}}) {
    std::vector<uint8_t> work(2 * pairs, 7), before = Ramp(2 * pairs, 3), after = Ramp(2 * pairs, -1, 255);
    for (int parity : {1, 0}) {
      for (int alpha : {1, 128, 255}) {
        std::vector<uint8_t> expected = work;
        for (size_t i = 0; i < pairs; ++i) {
          size_t k = 2 * i + parity;
          expected[k] = static_cast<uint8_t>(T(255 - alpha, before[k]) + T(alpha, after[k]));
        }
        CrossfadeBytes(work.data(), before.data(), after.data(), pairs, alpha, parity);
        ASSERT_EQ(work, expected) << parity << " " << alpha;
      }
    }
  }
}

TEST_P(KernelLevels, MaskFadeAndWipeFollowTheirThresholds) {
  const size_t n = 301;
  const std::vector<uint8_t> before = Ramp(n, 5), after = Ramp(n, 11, 3), mask = Ramp(n, 1);
  for (int t : {1, 100, 254, 255, 300, 509, 511}) {
    std::vector<uint8_t> display = before, expected = before;
    for (size_t i = 0; i < n; ++i) {
      int d = t - mask[i];
      if (d > 254)
        expected[i] = after[i];
      else if (d > 0)
        expected[i] = static_cast<uint8_t>(T(255 - d, before[i]) + T(d, after[i]));
    }
    MaskFadeBytes(display.data(), before.data(), after.data(), mask.data(), n, t);
    ASSERT_EQ(display, expected) << t;
    std::vector<uint8_t> wiped = before, wipeExpected = before;
    for (size_t i = 0; i < n; ++i)
      if (t >= mask[i]) wipeExpected[i] = after[i];
    MaskWipeBytes(wiped.data(), after.data(), mask.data(), n, t);
    ASSERT_EQ(wiped, wipeExpected) << t;
  }
}

TEST_P(KernelLevels, FindKeyAndOtherPixels) {
  // 40 pixels: the key at 3, 17, 18 and 39, partial matches (not the key) at 5 and 6. The buffer
  // ends right after the row.
  const PixelKey key{1, 2, 3};
  std::vector<uint8_t> row(40 * 3, 9);
  for (auto [k, b, g, r] :
       {std::array{3, 1, 2, 3}, {17, 1, 2, 3}, {18, 1, 2, 3}, {39, 1, 2, 3}, {5, 1, 2, 9}, {6, 9, 2, 3}})
    std::tie(row[3 * k], row[3 * k + 1], row[3 * k + 2]) = std::tuple(b, g, r);
  const uint8_t* end = row.data() + row.size();
  auto isKey = [&](int k) { return row[3 * k] == 1 && row[3 * k + 1] == 2 && row[3 * k + 2] == 3; };
  for (int width : {39, 40}) {  // 39: the key at 39 lies past the width
    for (int from = 0; from <= width; ++from) {
      int wantKey = from, wantOther = from;
      while (wantKey < width && !isKey(wantKey)) ++wantKey;
      while (wantOther < width && isKey(wantOther)) ++wantOther;
      ASSERT_EQ(FindKeyPixel(row.data(), from, width, key, end), wantKey) << width << " " << from;
      ASSERT_EQ(FindOtherPixel(row.data(), from, width, key, end), wantOther) << width << " " << from;
    }
  }
}

// This also drives BlendBytes at the level: unaligned spans and tails of every length, where a
// wrong weight shows as a wrong pixel and an overrun as a sanitizer report.
TEST_P(KernelLevels, DrawLayerMatchesTheReference) { ExpectRandomLayersMatchTheReference(2000); }

}  // namespace
}  // namespace velmio::testing
