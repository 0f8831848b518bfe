#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/decoded_picture.h"
#include "files/picture_decoder.h"
#include "files/picture_header.h"
#include "unit/game_folder.h"

namespace velmio {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.resize(std::max<size_t>(bytes.size(), 64));
  return bytes;
}

// `start` padded to 64 bytes, with fields (offset, value, size, big-endian) written over it.
struct Field {
  size_t at;
  uint32_t value;
  int size;
  bool big;
};
Bytes Header(const std::string& start, std::initializer_list<Field> fields) {
  Bytes bytes = Text(start);
  for (const Field& f : fields)
    for (int i = 0; i < f.size; ++i) bytes[f.at + (f.big ? f.size - 1 - i : i)] = static_cast<uint8_t>(f.value >> (8 * i));
  return bytes;
}

// The header of every format, claiming `width` x `height`.
std::vector<std::pair<const char*, Bytes>> Headers(uint32_t width, uint32_t height) {
  const std::string w = std::to_string(width), h = std::to_string(height);
  return {
      {"TGA", Header(std::string("\0\0\2", 3), {{12, width, 2, false}, {14, height, 2, false}})},
      {"PNG", Header(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {{16, width, 4, true}, {20, height, 4, true}})},
      // An APP0 segment of two bytes, then the frame header.
      {"JPG",
       Header("\xFF\xD8\xFF\xE0", {{4, 4, 2, true}, {8, 0xFFC0, 2, true}, {13, height, 2, true}, {15, width, 2, true}})},
      {"BMP", Header("BM", {{14, 40, 4, false}, {18, width, 4, false}, {22, uint32_t(-int32_t(height)), 4, false}})},
      {"PNM", Text("P6 # comment\n" + w + "\n" + h + " 255\n")},
      {"XPM", Text("/* XPM */\nstatic char *x[] = {\n\"" + w + " " + h + " 2 1\",")},
      {"QOI", Header("qoif", {{4, width, 4, true}, {8, height, 4, true}})},
      {"TIF", Header("II*", {{4, 8, 4, false}, {8, 2, 2, false}, {10, 256, 2, false}, {12, 4, 2, false},
                             {18, width, 4, false}, {22, 257, 2, false}, {24, 3, 2, false}, {30, height, 2, false}})},
      // Three bytes each: the fourth byte of the width is overwritten by the height.
      {"WEBP", Header(std::string("RIFF\0\0\0\0WEBPVP8X", 16), {{24, width - 1, 4, false}, {27, height - 1, 4, false}})},
      {"LBM", Header(std::string("FORM\0\0\0\0ILBMBMHD\0\0\0\x14", 20), {{20, width, 2, true}, {22, height, 2, true}})},
  };
}

TEST(PictureHeader, EveryFormatIsCheckedBeforeDecoding) {
  for (const auto& [type, bytes] : Headers(4, 4)) EXPECT_TRUE(PictureHeaderAcceptable(bytes, type)) << type;
  for (const auto& [type, bytes] : Headers(20000, 20000)) EXPECT_FALSE(PictureHeaderAcceptable(bytes, type)) << type;
  // One side within the limit, the area not: 16,384 x 8,192 is 128 M pixels.
  for (const auto& [type, bytes] : Headers(16384, 8192)) EXPECT_FALSE(PictureHeaderAcceptable(bytes, type)) << type;
  // The content decides, not the name: a PPM named .png is checked as a PPM; what cannot be told
  // apart is refused.
  EXPECT_FALSE(PictureHeaderAcceptable(Text("P6 20000 20000 255\n"), "PNG"));
  EXPECT_FALSE(PictureHeaderAcceptable(Text("<svg width=\"99999\" height=\"99999\">"), "PNG"));
  EXPECT_FALSE(PictureHeaderAcceptable(Bytes(10), "TGA"));
}

TEST(PictureHeader, DecoderRefusesPipes) {
  testing::GameFolder folder;
  DecodedPicture picture;
  ASSERT_EQ(mkfifo("pipe.png", 0600), 0);  // refused at once instead of blocking in open()
  EXPECT_FALSE(DecodePictureFile("pipe.png", "png", picture));
}

}  // namespace
}  // namespace velmio
