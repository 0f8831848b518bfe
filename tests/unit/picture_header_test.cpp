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

void Put16(Bytes& bytes, size_t at, uint32_t value, bool big) {
  bytes[at + (big ? 1 : 0)] = static_cast<uint8_t>(value);
  bytes[at + (big ? 0 : 1)] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value, bool big) {
  for (int i = 0; i < 4; ++i) bytes[at + (big ? 3 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
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
  Put16(tga, 12, width, false);
  Put16(tga, 14, height, false);
  headers.push_back({"TGA", tga});
  Bytes png = Text(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  Put32(png, 16, width, true);
  Put32(png, 20, height, true);
  headers.push_back({"PNG", png});
  Bytes jpeg = Text("\xFF\xD8\xFF\xE0");
  Put16(jpeg, 4, 4, true);  // an APP0 segment of two bytes, then the frame header
  jpeg[8] = 0xFF;
  jpeg[9] = 0xC0;
  Put16(jpeg, 13, height, true);
  Put16(jpeg, 15, width, true);
  headers.push_back({"JPG", jpeg});
  Bytes bmp = Text("BM");
  Put32(bmp, 14, 40, false);
  Put32(bmp, 18, width, false);
  Put32(bmp, 22, static_cast<uint32_t>(-static_cast<int32_t>(height)), false);  // top-down
  headers.push_back({"BMP", bmp});
  headers.push_back({"PNM", Text("P6 # comment\n" + std::to_string(width) + "\n" + std::to_string(height) + " 255\n")});
  headers.push_back({"XPM", Text("/* XPM */\nstatic char *x[] = {\n\"" + std::to_string(width) + " " +
                                 std::to_string(height) + " 2 1\",")});
  Bytes qoi = Text("qoif");
  Put32(qoi, 4, width, true);
  Put32(qoi, 8, height, true);
  headers.push_back({"QOI", qoi});
  Bytes tiff = Text("II*");
  Put32(tiff, 4, 8, false);
  Put16(tiff, 8, 2, false);
  Put16(tiff, 10, 256, false);
  Put16(tiff, 12, 4, false);
  Put32(tiff, 18, width, false);
  Put16(tiff, 22, 257, false);
  Put16(tiff, 24, 3, false);
  Put16(tiff, 30, height, false);
  headers.push_back({"TIF", tiff});
  Bytes webp = Text(std::string("RIFF\0\0\0\0WEBPVP8X", 16));
  Put32(webp, 24, width - 1, false);  // three bytes each; the fourth is overwritten by the height
  Put32(webp, 27, height - 1, false);
  headers.push_back({"WEBP", webp});
  Bytes lbm = Text(std::string("FORM\0\0\0\0ILBMBMHD\0\0\0\x14", 20));
  Put16(lbm, 20, width, true);
  Put16(lbm, 22, height, true);
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
  // A named pipe is refused at once instead of blocking in open().
  ASSERT_EQ(mkfifo("pipe.png", 0600), 0);
  EXPECT_FALSE(DecodePictureFile("pipe.png", "png", picture));
}

}  // namespace
}  // namespace velmio
