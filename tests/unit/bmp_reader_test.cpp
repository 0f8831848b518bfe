#include <gtest/gtest.h>

#include <array>

#include "files/bmp_reader.h"
#include "unit/bmp_builder.h"

namespace velmio::testing {
namespace {

// Pixel (x, y) of a 24-bit picture, y counted from the top, as 0xRRGGBB.
uint32_t At24(const DecodedPicture& picture, int x, int y) {
  const uint8_t* p = picture.pixels.data() + static_cast<size_t>(picture.Stride()) * (picture.height - 1 - y) + 3 * x;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}
uint8_t At8(const DecodedPicture& picture, int x, int y) {
  return picture.pixels[static_cast<size_t>(picture.Stride()) * (picture.height - 1 - y) + x];
}

TEST(BmpReader, TwentyFourBitBottomUpOrTopDownAfterAGap) {
  for (bool topDown : {false, true}) {
    // 3 x 2: rows padded from 9 to 12 bytes.
    BmpBuilder bmp(3, 2, 24);
    bmp.SetRgb(0, 0, 0xFF0000);
    bmp.SetRgb(2, 0, 0x00FF00);
    bmp.SetRgb(1, 1, 0x0000FF);
    bmp.topDown = topDown;
    bmp.gapBeforePixels = topDown ? 10 : 0;  // the pixel offset is honoured
    DecodedPicture picture;
    ASSERT_TRUE(DecodeBmp(bmp.Build(), picture));
    EXPECT_EQ(std::tuple(picture.bitsPerPixel, picture.width, picture.height, picture.Stride()),
              std::tuple(24, 3, 2, 12));
    EXPECT_EQ((std::array{At24(picture, 0, 0), At24(picture, 2, 0), At24(picture, 1, 1), At24(picture, 0, 1)}),
              (std::array{0xFF0000u, 0x00FF00u, 0x0000FFu, 0u}))
        << topDown;
  }
}

TEST(BmpReader, IndexedDepthsBecomeEightBit) {
  for (int bits : {1, 4, 8}) {
    int colours = 1 << bits;
    BmpBuilder bmp(9, 3, bits);  // 9 pixels: a 1-bit row spans two bytes
    for (int i = 0; i < colours; ++i) bmp.SetPalette(i, (static_cast<uint32_t>(i) << 16) | static_cast<uint32_t>(255 - i));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 9; ++x) bmp.SetIndex(x, y, (x + y) % colours);
    DecodedPicture picture;
    ASSERT_TRUE(DecodeBmp(bmp.Build(), picture)) << bits;
    EXPECT_EQ(picture.bitsPerPixel, 8) << bits;
    ASSERT_EQ(picture.palette.size(), 1024u) << bits;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 9; ++x) EXPECT_EQ(At8(picture, x, y), (x + y) % colours) << bits << " " << x << "," << y;
    // The last entry's blue and red; padding entries black.
    const int last = colours - 1;
    EXPECT_EQ(std::pair(picture.palette[4 * last], picture.palette[4 * last + 2]), (std::pair<uint8_t, uint8_t>(255 - last, last)));
    EXPECT_EQ(picture.palette[4 * 255 + 1], 0) << bits;
  }
}

TEST(BmpReader, SixteenAndThirtyTwoBitBecomeTwentyFour) {
  BmpBuilder rgb555(2, 1, 16);
  rgb555.SetRaw16(0, 0, 0x7C00);  // pure red in 5-5-5
  rgb555.SetRaw16(1, 0, 0x03E0 | 0x0010);
  DecodedPicture picture;
  ASSERT_TRUE(DecodeBmp(rgb555.Build(), picture));
  EXPECT_EQ(std::tuple(picture.bitsPerPixel, At24(picture, 0, 0), At24(picture, 1, 0)),
            std::tuple(24, 0xFF0000u, 0x00FF00u | (16 * 255 / 31)));

  BmpBuilder rgb565(1, 1, 16);
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.SetRaw16(0, 0, 0x07E0);
  ASSERT_TRUE(DecodeBmp(rgb565.Build(), picture));
  EXPECT_EQ(At24(picture, 0, 0), 0x00FF00u);

  BmpBuilder bgrx(2, 2, 32);
  bgrx.SetRgb(1, 0, 0x123456);
  bgrx.SetRgb(0, 1, 0xABCDEF);
  ASSERT_TRUE(DecodeBmp(bgrx.Build(), picture));
  EXPECT_EQ(std::tuple(picture.bitsPerPixel, At24(picture, 1, 0), At24(picture, 0, 1)), std::tuple(24, 0x123456u, 0xABCDEFu));
}

TEST(BmpReader, ColoursUsedBeyondTheDepthIsClamped) {
  // Claim 300 colours and supply them: only two belong to a 1-bit picture.
  BmpBuilder bmp(2, 1, 1);
  bmp.SetPalette(1, 0xFFFFFF).SetIndex(1, 0, 1).gapBeforePixels = 298 * 4;
  std::vector<uint8_t> file = bmp.Build();
  file[14 + 32] = 0x2C;
  file[14 + 33] = 0x01;
  DecodedPicture picture;
  ASSERT_TRUE(DecodeBmp(file, picture));
  // The entries beyond the depth were not taken.
  EXPECT_EQ(std::pair(At8(picture, 1, 0), picture.palette[4 * 2]), (std::pair<uint8_t, uint8_t>(1, 0)));
}

TEST(BmpReader, RefusesBrokenFiles) {
  std::vector<uint8_t> good = BmpBuilder(4, 4, 24).Build();
  DecodedPicture picture;
  ASSERT_TRUE(DecodeBmp(good, picture));

  // Every truncation fails cleanly.
  for (size_t size = 0; size < good.size(); ++size) {
    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(DecodeBmp(truncated, picture)) << size;
    EXPECT_TRUE(picture.Empty());
  }

  // Width 0, negative, absurd; height 0 and INT_MIN; depths 7 and 64; a header size unknown and
  // one past the file; and a width of 16384, within the bound but more than the file holds.
  for (auto [offset, value, bytes] : {std::tuple{18, 0u, 4}, {18, 0x80000000u, 4}, {18, 100000u, 4}, {22, 0u, 4},
                                      {22, 0x80000000u, 4}, {28, 7u, 2}, {28, 64u, 2}, {14, 12u, 4}, {14, 0xFFFFFFF0u, 4},
                                      {18, 16384u, 4}}) {
    std::vector<uint8_t> file = good;
    for (int i = 0; i < bytes; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    EXPECT_FALSE(DecodeBmp(file, picture)) << offset << " " << value;
  }
}

TEST(BmpReader, CompressedPixelsStayBlack) {
  BmpBuilder bmp(2, 2, 8);
  bmp.SetPalette(1, 0xFFFFFF);
  std::vector<uint8_t> file = bmp.Build();
  file[14 + 16] = 1;  // RLE8; the pixel bytes are not decoded
  file.resize(14 + 40 + 1024);
  DecodedPicture picture;
  ASSERT_TRUE(DecodeBmp(file, picture));
  EXPECT_EQ(picture.width, 2);
  for (uint8_t byte : picture.pixels) EXPECT_EQ(byte, 0);
}

}  // namespace
}  // namespace velmio::testing
