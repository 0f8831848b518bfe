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
    uint8_t* p = Row(y) + x * (bits_ / 8);
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
    return *this;
  }
  BmpBuilder& SetRaw16(int x, int y, uint16_t value) {
    uint8_t* p = Row(y) + 2 * x;
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
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
    palette_[4 * index] = static_cast<uint8_t>(rgb);
    palette_[4 * index + 1] = static_cast<uint8_t>(rgb >> 8);
    palette_[4 * index + 2] = static_cast<uint8_t>(rgb >> 16);
    return *this;
  }
  BmpBuilder& SetBitFields(uint32_t red, uint32_t green, uint32_t blue) {
    masks_ = {red, green, blue};
    return *this;
  }
  BmpBuilder& SetTopDown() {
    topDown_ = true;
    return *this;
  }
  BmpBuilder& SetGapBeforePixels(int bytes) {
    gap_ = bytes;
    return *this;
  }

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> file;
    uint32_t tableBytes = static_cast<uint32_t>(palette_.size() + 4 * masks_.size());
    uint32_t offset = 14 + 40 + tableBytes + gap_;
    Put16(file, 0x4D42);
    Put32(file, offset + static_cast<uint32_t>(pixels_.size()));
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width_));
    Put32(file, static_cast<uint32_t>(topDown_ ? -height_ : height_));
    Put16(file, 1);
    Put16(file, static_cast<uint16_t>(bits_));
    Put32(file, masks_.empty() ? 0 : 3);
    Put32(file, static_cast<uint32_t>(pixels_.size()));
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 0);
    for (uint32_t mask : masks_) Put32(file, mask);
    file.insert(file.end(), palette_.begin(), palette_.end());
    file.resize(file.size() + gap_, 0xEE);
    if (topDown_) {
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
  static void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
  }
  static void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }

  int width_;
  int height_;
  int bits_;
  int stride_;
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> palette_;
  std::vector<uint32_t> masks_;
  bool topDown_ = false;
  uint32_t gap_ = 0;
};

}  // namespace velmio::testing
