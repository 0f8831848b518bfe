#include "files/picture_header.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "files/decoded_picture.h"

namespace velmio {
namespace {

using namespace std::string_view_literals;

struct Size {
  int64_t width = 0;
  int64_t height = 0;
};

class Bytes {
 public:
  explicit Bytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Has(size_t offset, size_t count) const { return offset <= bytes_.size() && count <= bytes_.size() - offset; }
  bool StartsWith(size_t offset, std::string_view text) const {
    return Has(offset, text.size()) && std::memcmp(bytes_.data() + offset, text.data(), text.size()) == 0;
  }
  uint8_t At(size_t offset) const { return Has(offset, 1) ? bytes_[offset] : 0; }
  uint32_t Little16(size_t offset) const { return At(offset) | (At(offset + 1) << 8); }
  uint32_t Little24(size_t offset) const { return Little16(offset) | (uint32_t{At(offset + 2)} << 16); }
  uint32_t Little32(size_t offset) const { return Little16(offset) | (Little16(offset + 2) << 16); }
  uint32_t Big16(size_t offset) const { return (At(offset) << 8) | At(offset + 1); }
  uint32_t Big32(size_t offset) const { return (Big16(offset) << 16) | Big16(offset + 2); }
  size_t Length() const { return bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
};

std::optional<Size> Targa(const Bytes& file) {
  if (!file.Has(0, 18)) return std::nullopt;
  return Size{file.Little16(12), file.Little16(14)};
}

std::optional<Size> Bitmap(const Bytes& file) {
  if (!file.Has(0, 26)) return std::nullopt;
  if (file.Little32(14) == 12) return Size{file.Little16(18), file.Little16(20)};
  int64_t height = static_cast<int32_t>(file.Little32(22));
  return Size{static_cast<int32_t>(file.Little32(18)), height < 0 ? -height : height};
}

// "P6 640 480 255": the numbers may be separated by any blanks and '#' comments.
std::optional<Size> PortableAnymap(const Bytes& file) {
  size_t at = 2;
  int64_t numbers[2] = {};
  for (int64_t& number : numbers) {
    for (;;) {
      uint8_t c = file.At(at);
      if (c == '#') {
        while (at < file.Length() && file.At(at) != '\n') ++at;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++at;
      } else {
        break;
      }
    }
    if (file.At(at) < '0' || file.At(at) > '9') return std::nullopt;
    while (file.At(at) >= '0' && file.At(at) <= '9') {
      number = number * 10 + (file.At(at++) - '0');
      if (number > kMaxPicturePixels) return std::nullopt;
    }
  }
  return Size{numbers[0], numbers[1]};
}

// The first frame header (SOF0 to SOF15, leaving out DHT, JPG and DAC) states the size.
std::optional<Size> Jpeg(const Bytes& file) {
  size_t at = 2;
  while (file.Has(at, 4)) {
    if (file.At(at) != 0xFF) return std::nullopt;
    uint8_t marker = file.At(at + 1);
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (!file.Has(at, 9)) return std::nullopt;
      return Size{file.Big16(at + 7), file.Big16(at + 5)};
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    at += 2 + file.Big16(at + 2);
  }
  return std::nullopt;
}

std::optional<Size> Webp(const Bytes& file) {
  if (file.StartsWith(12, "VP8X") && file.Has(0, 30))
    return Size{int64_t{file.Little24(24)} + 1, int64_t{file.Little24(27)} + 1};
  if (file.StartsWith(12, "VP8L") && file.Has(0, 25)) {
    uint32_t bits = file.Little32(21);
    return Size{int64_t{bits & 0x3FFF} + 1, int64_t{(bits >> 14) & 0x3FFF} + 1};
  }
  if (file.StartsWith(12, "VP8 ") && file.Has(0, 30))
    return Size{file.Little16(26) & 0x3FFF, file.Little16(28) & 0x3FFF};
  return std::nullopt;
}

// The first image directory holds the width (tag 256) and the length (257).
std::optional<Size> Tiff(const Bytes& file) {
  const bool little = file.At(0) == 'I';
  auto read16 = [&](size_t offset) { return little ? file.Little16(offset) : file.Big16(offset); };
  auto read32 = [&](size_t offset) { return little ? file.Little32(offset) : file.Big32(offset); };
  size_t directory = read32(4);
  if (!file.Has(directory, 2)) return std::nullopt;
  uint32_t entries = read16(directory);
  Size size;
  for (uint32_t i = 0; i < entries; ++i) {
    size_t entry = directory + 2 + size_t{12} * i;
    if (!file.Has(entry, 12)) return std::nullopt;
    uint32_t tag = read16(entry);
    uint32_t kind = read16(entry + 2);
    uint32_t value = kind == 3 ? read16(entry + 8) : read32(entry + 8);
    if (tag == 256) size.width = value;
    if (tag == 257) size.height = value;
  }
  return size;
}

std::optional<Size> InterleavedBitmap(const Bytes& file) {
  size_t at = 12;
  while (file.Has(at, 8)) {
    uint32_t length = file.Big32(at + 4);
    if (file.StartsWith(at, "BMHD")) {
      if (!file.Has(at + 8, 4)) return std::nullopt;
      return Size{file.Big16(at + 8), file.Big16(at + 10)};
    }
    at += 8 + size_t{length} + (length & 1);
  }
  return std::nullopt;
}

// The first string of the array: "<width> <height> <colours> <characters per pixel>".
std::optional<Size> PixMap(const Bytes& file) {
  size_t at = 0;
  while (at < file.Length() && file.At(at) != '"') ++at;
  ++at;
  int64_t numbers[2] = {};
  for (int64_t& number : numbers) {
    while (file.At(at) == ' ' || file.At(at) == '\t') ++at;
    if (file.At(at) < '0' || file.At(at) > '9') return std::nullopt;
    while (file.At(at) >= '0' && file.At(at) <= '9') {
      number = number * 10 + (file.At(at++) - '0');
      if (number > kMaxPicturePixels) return std::nullopt;
    }
  }
  return Size{numbers[0], numbers[1]};
}

std::optional<Size> ClaimedSize(const Bytes& file, std::string_view type) {
  if (type == "TGA") return Targa(file);
  if (file.StartsWith(0, "\x89PNG\r\n\x1a\n") && file.StartsWith(12, "IHDR") && file.Has(0, 24))
    return Size{file.Big32(16), file.Big32(20)};
  if (file.StartsWith(0, "GIF8") && file.Has(0, 10)) return Size{file.Little16(6), file.Little16(8)};
  if (file.StartsWith(0, "\xFF\xD8")) return Jpeg(file);
  if (file.StartsWith(0, "BM")) return Bitmap(file);
  if (file.At(0) == 'P' && file.At(1) >= '1' && file.At(1) <= '6') return PortableAnymap(file);
  if (file.At(0) == 0x0A && file.At(2) == 1 && file.Has(0, 12))
    return Size{int64_t{file.Little16(8)} - file.Little16(4) + 1, int64_t{file.Little16(10)} - file.Little16(6) + 1};
  if (file.StartsWith(0, "qoif") && file.Has(0, 14)) return Size{file.Big32(4), file.Big32(8)};
  if (file.StartsWith(0, "RIFF") && file.StartsWith(8, "WEBP")) return Webp(file);
  if (file.StartsWith(0, "II*\0"sv) || file.StartsWith(0, "MM\0*"sv)) return Tiff(file);
  if (file.StartsWith(0, "FORM") && (file.StartsWith(8, "ILBM") || file.StartsWith(8, "PBM "))) return InterleavedBitmap(file);
  if (file.StartsWith(0, "/* XPM */")) return PixMap(file);
  return std::nullopt;
}

}  // namespace

bool PictureHeaderAcceptable(std::span<const uint8_t> bytes, std::string_view type) {
  std::optional<Size> size = ClaimedSize(Bytes(bytes), type);
  return size && size->width >= 1 && size->height >= 1 && size->width <= kMaxPictureDimension &&
         size->height <= kMaxPictureDimension && size->width * size->height <= kMaxPicturePixels;
}

}  // namespace velmio
