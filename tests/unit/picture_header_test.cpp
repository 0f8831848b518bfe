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

// Writes `value` as `size` bytes at `at`, big-endian or little-endian.
void Put(Bytes& bytes, size_t at, uint32_t value, int size, bool big) {
  for (int i = 0; i < size; ++i) bytes[at + (big ? size - 1 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes Text(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.resize(std::max<size_t>(bytes.size(), 64));
  return bytes;
}

// The header of every format, claiming `width` x `height`.
std::vector<std::pair<const char*, Bytes>> Headers(uint32_t width, uint32_t height) {
  std::vector<std::pair<const char*, Bytes>> headers;
  Bytes tga(64);
  tga[2] = 2;
  Put(tga, 12, width, 2, false);
  Put(tga, 14, height, 2, false);
  headers.push_back({"TGA", tga});
  Bytes png = Text(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  Put(png, 16, width, 4, true);
  Put(png, 20, height, 4, true);
  headers.push_back({"PNG", png});
  Bytes jpeg = Text("\xFF\xD8\xFF\xE0");
  Put(jpeg, 4, 4, 2, true);  // an APP0 segment of two bytes, then the frame header
  jpeg[8] = 0xFF;
  jpeg[9] = 0xC0;
  Put(jpeg, 13, height, 2, true);
  Put(jpeg, 15, width, 2, true);
  headers.push_back({"JPG", jpeg});
  Bytes bmp = Text("BM");
  Put(bmp, 14, 40, 4, false);
  Put(bmp, 18, width, 4, false);
  Put(bmp, 22, static_cast<uint32_t>(-static_cast<int32_t>(height)), 4, false);  // top-down
  headers.push_back({"BMP", bmp});
  headers.push_back({"PNM", Text("P6 # comment\n" + std::to_string(width) + "\n" + std::to_string(height) + " 255\n")});
  headers.push_back({"XPM", Text("/* XPM */\nstatic char *x[] = {\n\"" + std::to_string(width) + " " +
                                 std::to_string(height) + " 2 1\",")});
  Bytes qoi = Text("qoif");
  Put(qoi, 4, width, 4, true);
  Put(qoi, 8, height, 4, true);
  headers.push_back({"QOI", qoi});
  Bytes tiff = Text("II*");
  Put(tiff, 4, 8, 4, false);
  Put(tiff, 8, 2, 2, false);
  Put(tiff, 10, 256, 2, false);
  Put(tiff, 12, 4, 2, false);
  Put(tiff, 18, width, 4, false);
  Put(tiff, 22, 257, 2, false);
  Put(tiff, 24, 3, 2, false);
  Put(tiff, 30, height, 2, false);
  headers.push_back({"TIF", tiff});
  Bytes webp = Text(std::string("RIFF\0\0\0\0WEBPVP8X", 16));
  Put(webp, 24, width - 1, 4, false);  // three bytes each; the fourth is overwritten by the height
  Put(webp, 27, height - 1, 4, false);
  headers.push_back({"WEBP", webp});
  Bytes lbm = Text(std::string("FORM\0\0\0\0ILBMBMHD\0\0\0\x14", 20));
  Put(lbm, 20, width, 2, true);
  Put(lbm, 22, height, 2, true);
  headers.push_back({"LBM", lbm});
  return headers;
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
