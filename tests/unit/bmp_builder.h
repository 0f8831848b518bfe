#pragma once
// Builds tiny BMP files in memory for the tests.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace velmio::testing {

class BmpBuilder {
 public:
  BmpBuilder(int width, int height, int bits) : width_(width), height_(height), bits_(bits) {
    stride_ = ((width * bits + 31) / 32) * 4;
    pixels_.assign(static_cast<size_t>(stride_) * height, 0);
    if (bits <= 8) palette_.assign(static_cast<size_t>(4) << bits, 0);
  }

  // (x, y) with y from the top.
  BmpBuilder& SetRgb(int x, int y, uint32_t rgb) {
    Store(Row(y) + x * (bits_ / 8), rgb, 3);
    return *this;
  }
  BmpBuilder& SetRaw16(int x, int y, uint16_t value) {
    Store(Row(y) + 2 * x, value, 2);
    return *this;
  }
  BmpBuilder& SetIndex(int x, int y, int index) {
    uint8_t* row = Row(y);
    if (bits_ == 8) {
      row[x] = static_cast<uint8_t>(index);
    } else if (bits_ == 4) {
      int shift = (x & 1) ? 0 : 4;
      row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0xF << shift)) | (index << shift));
    } else {
      int shift = 7 - (x & 7);
      row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~(1 << shift)) | ((index & 1) << shift));
    }
    return *this;
  }
  BmpBuilder& SetPalette(int index, uint32_t rgb) {
    Store(&palette_[4 * index], rgb, 3);
    return *this;
  }

  // Options of the file: red, green and blue bit fields (16 bits), rows stored top-down, bytes
  // between the tables and the pixels.
  std::vector<uint32_t> masks;
  bool topDown = false;
  uint32_t gapBeforePixels = 0;

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> file;
    uint32_t tableBytes = static_cast<uint32_t>(palette_.size() + 4 * masks.size());
    uint32_t offset = 14 + 40 + tableBytes + gapBeforePixels;
    Put(file, 0x4D42, 2);
    // File size, reserved, pixel offset; header size, width, height (negative: top-down rows).
    const uint32_t size = static_cast<uint32_t>(pixels_.size());
    for (uint32_t field : {offset + size, 0u, offset, 40u, static_cast<uint32_t>(width_),
                           static_cast<uint32_t>(topDown ? -height_ : height_)})
      Put(file, field);
    Put(file, 1, 2);  // planes
    Put(file, static_cast<uint32_t>(bits_), 2);
    // Compression (bit fields or none), image size, resolutions, colours used and important.
    for (uint32_t field : {masks.empty() ? 0u : 3u, size, 0u, 0u, 0u, 0u}) Put(file, field);
    for (uint32_t mask : masks) Put(file, mask);
    file.insert(file.end(), palette_.begin(), palette_.end());
    file.resize(file.size() + gapBeforePixels, 0xEE);
    if (topDown) {
      for (int y = 0; y < height_; ++y) {
        const uint8_t* row = pixels_.data() + static_cast<size_t>(stride_) * (height_ - 1 - y);
        file.insert(file.end(), row, row + stride_);
      }
    } else {
      file.insert(file.end(), pixels_.begin(), pixels_.end());
    }
    return file;
  }

  void Write(const std::string& path) const {
    std::vector<uint8_t> bytes = Build();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

 private:
  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(stride_) * (height_ - 1 - y); }
  // Stores `value` as `bytes` little-endian bytes at `at`, or appends them to `out`.
  static void Store(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
  }
  static void Put(std::vector<uint8_t>& out, uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }

  int width_;
  int height_;
  int bits_;
  int stride_;
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> palette_;
};

}  // namespace velmio::testing
