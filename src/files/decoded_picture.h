#pragma once
#include <cstdint>
#include <vector>

namespace velmio {

// Limits on what a picture file may ask for. Real pictures are far smaller; a header beyond them
// is damaged or hostile, and refusing it keeps a 50-byte file from demanding gigabytes.
constexpr int32_t kMaxPictureDimension = 16384;
constexpr int64_t kMaxPicturePixels = int64_t{64} * 1024 * 1024;

// A picture as every reader and decoder hands it over: the layout of the engine's surfaces, rows
// bottom-up and padded to 4 bytes, either 8 bits per pixel with a 256-entry palette or 24 bits in
// blue, green, red order.
struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  int bitsPerPixel = 0;  // 8 or 24
  std::vector<uint8_t> palette;  // 8 bits: 256 entries of blue, green, red, 0
  std::vector<uint8_t> pixels;

  static int32_t StrideFor(int32_t width, int bitsPerPixel) {
    return static_cast<int32_t>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
  }
  int32_t Stride() const { return StrideFor(width, bitsPerPixel); }
  bool Empty() const { return width <= 0 || height <= 0; }
};

}  // namespace velmio
