// Windows cursor files: still and animated, every pixel format a cursor editor writes, and
// damaged files that must be refused without reading past their end.
#include <gtest/gtest.h>

#include "shell/cursor_file.h"

namespace velmio {
namespace {

// Appends `value` as `size` little-endian bytes.
void Put(std::vector<uint8_t>& bytes, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutTag(std::vector<uint8_t>& bytes, const char* tag) { bytes.insert(bytes.end(), tag, tag + 4); }
void Append(std::vector<uint8_t>& bytes, std::initializer_list<std::vector<uint8_t>> parts) {
  for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
}

struct Image {
  int width;
  int hotX, hotY;
  std::vector<uint8_t> data;  // bitmap (header, palette, colour rows, mask rows) or PNG
};

// A cursor directory holding `images`.
std::vector<uint8_t> Directory(const std::vector<Image>& images) {
  std::vector<uint8_t> bytes;
  for (size_t field : {size_t{0}, size_t{2}, images.size()}) Put(bytes, static_cast<uint32_t>(field), 2);
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const Image& image : images) {
    bytes.insert(bytes.end(), {static_cast<uint8_t>(image.width), static_cast<uint8_t>(image.width), 0, 0});
    for (int field : {image.hotX, image.hotY}) Put(bytes, field, 2);
    for (uint32_t field : {static_cast<uint32_t>(image.data.size()), offset}) Put(bytes, field);
    offset += static_cast<uint32_t>(image.data.size());
  }
  for (const Image& image : images) Append(bytes, {image.data});
  return bytes;
}

std::vector<uint8_t> BitmapHeader(int width, int height, int bits, int colours = 0) {
  std::vector<uint8_t> bytes;
  for (int field : {40, width, height * 2}) Put(bytes, field);
  for (int field : {1, bits}) Put(bytes, field, 2);  // planes and depth
  for (int field : {0, 0, 0, 0, colours, 0}) Put(bytes, field);
  return bytes;
}

// 2 x 2, 32 bits with alpha; the bottom row first: blue pixels below, a half-clear red row above.
Image AlphaImage(int hotX = 1, int hotY = 0) {
  Image image{2, hotX, hotY, BitmapHeader(2, 2, 32)};
  for (int i = 0; i < 2; ++i) image.data.insert(image.data.end(), {0xFF, 0, 0, 0xFF});
  for (int i = 0; i < 2; ++i) image.data.insert(image.data.end(), {0, 0, 0xFF, 0x80});
  image.data.insert(image.data.end(), 8, 0);  // mask rows, ignored with alpha
  return image;
}

// 8 x 2, 1 bit: palette black and white; top row white, bottom row black; the mask hides the
// left half of both rows.
Image MonochromeImage() {
  Image image{8, 0, 0, BitmapHeader(8, 2, 1, 2)};
  // The palette; the colour rows bottom (black) and top (white); the mask rows bottom and top.
  image.data.insert(image.data.end(), {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x00, 0, 0, 0, 0xFF, 0, 0, 0,  //
                                       0xF0, 0, 0, 0, 0xF0, 0, 0, 0});
  return image;
}

std::vector<uint8_t> Pixel(const CursorFrame& frame, int x, int y) {
  auto at = frame.rgba.begin() + (y * frame.width + x) * 4;
  return std::vector<uint8_t>(at, at + 4);
}

TEST(CursorFile, StillCursorsAlphaOrMaskedAndPngKeptForTheBackend) {
  auto image = ParseCursorFile(Directory({AlphaImage(1, 0)}));
  ASSERT_TRUE(image);
  ASSERT_EQ(std::pair(image->frames.size(), image->steps.size()), std::pair(size_t{1}, size_t{0}));
  const CursorFrame& alpha = image->frames[0];  // top-down, with the hot spot
  EXPECT_EQ(std::tuple(alpha.width, alpha.height, alpha.hotX), std::tuple(2, 2, 1));
  EXPECT_EQ(Pixel(alpha, 0, 0), (std::vector<uint8_t>{0xFF, 0, 0, 0x80}));
  EXPECT_EQ(Pixel(alpha, 1, 1), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
  // A hot spot outside the picture is brought inside it.
  EXPECT_EQ(ParseCursorFile(Directory({AlphaImage(9, 9)}))->frames[0].hotY, 1);

  // The mask makes black clear and inverts white (shown black).
  const CursorFrame masked = ParseCursorFile(Directory({MonochromeImage()}))->frames[0];
  EXPECT_EQ(Pixel(masked, 0, 0), (std::vector<uint8_t>{0, 0, 0, 0xFF}));
  EXPECT_EQ(Pixel(masked, 7, 0), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Pixel(masked, 0, 1)[3], 0);
  EXPECT_EQ(Pixel(masked, 7, 1), (std::vector<uint8_t>{0, 0, 0, 0xFF}));

  // Of several images the one nearest the usual size is taken; a PNG one is left to the backend.
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                              0,    0,   0,   32,  0,    0,    0,    32,  8, 6, 0, 0,  0};
  const CursorFrame large = ParseCursorFile(Directory({MonochromeImage(), Image{32, 3, 4, png}}))->frames[0];
  EXPECT_EQ(std::tuple(large.width, large.hotX, large.png, large.rgba.empty()), std::tuple(32, 3, png, true));
}

std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes;
  PutTag(bytes, tag);
  Put(bytes, static_cast<uint32_t>(data.size()));
  Append(bytes, {data, std::vector<uint8_t>(data.size() & 1)});
  return bytes;
}

std::vector<uint8_t> AnimatedCursor(bool withSequence) {
  // 36 bytes, 2 frames, 2 or 3 steps, a default rate of 6 jiffies (100 ms); the frames are icons
  // and a sequence may follow.
  std::vector<uint8_t> header;
  for (uint32_t field : {36u, 2u, withSequence ? 3u : 2u, 0u, 0u, 0u, 0u, 6u, withSequence ? 3u : 1u}) Put(header, field);
  std::vector<uint8_t> list, body, rates, sequence;
  PutTag(list, "fram");
  Append(list, {Chunk("icon", Directory({AlphaImage()})), Chunk("icon", Directory({MonochromeImage()}))});
  PutTag(body, "ACON");
  Append(body, {Chunk("anih", header), Chunk("LIST", list)});
  for (uint32_t rate : {3u, 30u, 60u}) Put(rates, rate);
  for (uint32_t frame : {1u, 0u, 9u}) Put(sequence, frame);
  if (withSequence) Append(body, {Chunk("rate", rates), Chunk("seq ", sequence)});
  return Chunk("RIFF", body);
}

TEST(CursorFile, AnimatedCursorStepsFollowRatesAndSequence) {
  auto plain = ParseCursorFile(AnimatedCursor(false));
  ASSERT_TRUE(plain);
  ASSERT_EQ(std::pair(plain->frames.size(), plain->steps.size()), std::pair(size_t{2}, size_t{2}));
  EXPECT_EQ(std::pair(plain->steps[1].frame, plain->steps[0].milliseconds), std::pair(1, 100u));

  auto sequenced = ParseCursorFile(AnimatedCursor(true));
  ASSERT_TRUE(sequenced);
  ASSERT_EQ(sequenced->steps.size(), 3u);
  EXPECT_EQ(std::tuple(sequenced->steps[0].frame, sequenced->steps[0].milliseconds, sequenced->steps[1].milliseconds),
            std::tuple(1, 50u, 500u));
  EXPECT_LT(sequenced->steps[2].frame, 2) << "a sequence naming a missing frame stays within the frames";
}

TEST(CursorFile, DamagedFilesAreRefusedAtEveryLength) {
  // Cut anywhere before the end of what it needs, a cursor is refused; a 32-bit image does not
  // need its mask rows (8 bytes here).
  for (const auto& [whole, unneeded] : {std::pair{Directory({AlphaImage()}), size_t{8}},
                                        std::pair{Directory({MonochromeImage()}), size_t{0}}}) {
    for (size_t length = 0; length < whole.size(); ++length)
      EXPECT_EQ(ParseCursorFile(std::span(whole.data(), length)).has_value(), length >= whole.size() - unneeded) << length;
  }
  // An animated cursor cut short may still hold whole frames: they come out as in the whole file.
  const std::vector<uint8_t> animated = AnimatedCursor(true);
  const auto complete = ParseCursorFile(animated);
  ASSERT_TRUE(complete);
  for (size_t length = 0; length < animated.size(); ++length) {
    if (auto image = ParseCursorFile(std::span(animated.data(), length))) {
      ASSERT_FALSE(image->frames.empty()) << length;
      EXPECT_EQ(image->frames[0].rgba, complete->frames[0].rgba) << length;
    }
  }
  std::vector<uint8_t> huge = Directory({AlphaImage()});
  huge[22 + 4] = 0xFF;  // width 255 with a header of 2 x 2 pixels of data
  huge[22 + 5] = 0x7F;
  EXPECT_FALSE(ParseCursorFile(huge) || ParseCursorFile(std::vector<uint8_t>(64, 0)));
}

}  // namespace
}  // namespace velmio
