#include "files/bmp_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "files/file_reading.h"

namespace velmio {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

uint16_t Read16(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
uint32_t Read32(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

struct DibHeader {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top-down
  int bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue for 16 and 32-bit pixels
  size_t paletteOffset = 0;       // from the start of the information header
  size_t paletteEntries = 0;      // entries present in the block
  size_t tableEnd = 0;            // where the palette (and masks) end
};

// Reads the information header at the start of `block`, which must also hold the masks and the
// palette that follow it.
bool ParseHeader(std::span<const uint8_t> block, DibHeader& header) {
  if (block.size() < kInfoHeaderSize) return false;
  header.headerSize = Read32(block, 0);
  // The later versions of the header only add fields after the first 40 bytes.
  if (header.headerSize < kInfoHeaderSize || header.headerSize > 1024 || header.headerSize > block.size()) return false;
  header.width = static_cast<int32_t>(Read32(block, 4));
  header.height = static_cast<int32_t>(Read32(block, 8));
  header.bits = Read16(block, 14);
  header.compression = Read32(block, 16);
  header.colorsUsed = Read32(block, 32);
  if (header.width < 1 || header.width > kMaxPictureDimension) return false;
  if (header.height == 0 || header.height < -kMaxPictureDimension || header.height > kMaxPictureDimension) return false;
  if (int64_t{header.width} * std::abs(int64_t{header.height}) > kMaxPicturePixels) return false;
  size_t depthEntries;
  switch (header.bits) {
    case 1: depthEntries = 2; break;
    case 4: depthEntries = 16; break;
    case 8: depthEntries = 256; break;
    case 16:
    case 24:
    case 32: depthEntries = 0; break;
    default: return false;
  }
  size_t offset = header.headerSize;
  bool bitFields = header.compression == kCompressionBitFields && (header.bits == 16 || header.bits == 32);
  if (bitFields) {
    if (header.headerSize >= 52) {
      for (int i = 0; i < 3; ++i) header.masks[i] = Read32(block, 40 + 4 * i);
    } else {
      if (block.size() < offset + 12) return false;
      for (int i = 0; i < 3; ++i) header.masks[i] = Read32(block, offset + 4 * i);
      offset += 12;
    }
  } else if (header.bits == 16) {
    header.masks[0] = 0x7C00;
    header.masks[1] = 0x03E0;
    header.masks[2] = 0x001F;
  } else if (header.bits == 32) {
    header.masks[0] = 0xFF0000;
    header.masks[1] = 0x00FF00;
    header.masks[2] = 0x0000FF;
  }
  // A colours-used count above what the depth can index would overrun the palette; below it,
  // the missing entries are black. True-colour files may carry a palette too: it is skipped.
  size_t stored = header.colorsUsed != 0 ? std::min<size_t>(header.colorsUsed, 256) : depthEntries;
  if (block.size() < offset + stored * 4) return false;
  header.paletteOffset = offset;
  header.paletteEntries = std::min(stored, depthEntries);
  header.tableEnd = offset + stored * 4;
  return true;
}

// Channel value scaled to 0..255 from a bit mask of any width.
struct MaskChannel {
  explicit MaskChannel(uint32_t mask) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    uint32_t bits = mask >> shift;
    while (bits & 1) {
      maximum = maximum * 2 + 1;
      bits >>= 1;
    }
    this->mask = mask;
  }
  uint8_t Extract(uint32_t pixel) const {
    if (mask == 0) return 0;
    uint64_t value = (pixel & mask) >> shift;
    if (value > maximum) value = maximum;
    return static_cast<uint8_t>(value * 255 / maximum);
  }
  uint32_t mask = 0;
  int shift = 0;
  uint64_t maximum = 0;
};

void ConvertRow(const DibHeader& header, const uint8_t* source, uint8_t* target) {
  const int32_t width = header.width;
  switch (header.bits) {
    case 1:
      for (int32_t x = 0; x < width; ++x) target[x] = (source[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4:
      for (int32_t x = 0; x < width; ++x) target[x] = (x & 1) ? (source[x >> 1] & 0x0F) : (source[x >> 1] >> 4);
      break;
    case 8:
    case 24:
      std::memcpy(target, source, static_cast<size_t>(width) * (header.bits / 8));
      break;
    case 16:
    case 32: {
      MaskChannel red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]);
      const int bytes = header.bits / 8;
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = source + static_cast<size_t>(x) * bytes;
        uint32_t pixel = bytes == 2 ? static_cast<uint32_t>(p[0] | (p[1] << 8))
                                    : static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                          (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        target[3 * x] = blue.Extract(pixel);
        target[3 * x + 1] = green.Extract(pixel);
        target[3 * x + 2] = red.Extract(pixel);
      }
      break;
    }
    default:
      break;
  }
}

// Builds the picture from a parsed header, the block holding its palette and the pixel rows
// (`pixels` empty for compressed data, which is left black).
bool Convert(const DibHeader& header, std::span<const uint8_t> block, std::span<const uint8_t> pixels,
             DecodedPicture& picture) {
  const int32_t height = header.height < 0 ? -header.height : header.height;
  const int64_t sourceStride = ((int64_t{header.width} * header.bits + 31) / 32) * 4;
  const bool compressed = header.compression != kCompressionNone && header.compression != kCompressionBitFields;
  if (!compressed && static_cast<int64_t>(pixels.size()) < sourceStride * height) return false;

  DecodedPicture result;
  result.width = header.width;
  result.height = height;
  result.bitsPerPixel = header.bits <= 8 ? 8 : 24;
  if (result.bitsPerPixel == 8) {
    result.palette.assign(256 * 4, 0);
    std::memcpy(result.palette.data(), block.data() + header.paletteOffset, header.paletteEntries * 4);
    for (size_t entry = 0; entry < 256; ++entry) result.palette[entry * 4 + 3] = 0;
  }
  const int32_t stride = result.Stride();
  result.pixels.assign(static_cast<size_t>(stride) * height, 0);
  if (!compressed) {
    for (int32_t row = 0; row < height; ++row) {
      // Row `row` of the result counts from the bottom; a top-down source holds it at the mirror.
      int32_t sourceRow = header.height < 0 ? height - 1 - row : row;
      ConvertRow(header, pixels.data() + sourceStride * sourceRow, result.pixels.data() + int64_t{stride} * row);
    }
  }
  picture = std::move(result);
  return true;
}

}  // namespace

bool DecodeBmp(std::span<const uint8_t> file, DecodedPicture& picture) {
  picture = DecodedPicture{};
  if (file.size() < kFileHeaderSize + kInfoHeaderSize) return false;
  std::span<const uint8_t> block = file.subspan(kFileHeaderSize);
  DibHeader header;
  if (!ParseHeader(block, header)) return false;
  const int64_t sourceStride = ((int64_t{header.width} * header.bits + 31) / 32) * 4;
  const int64_t needed = sourceStride * std::abs(int64_t{header.height});
  // Pixels normally follow the palette; a file that says they start further on (a gap, or a
  // header version with more fields) is read from where it says, when that place is inside it.
  size_t start = kFileHeaderSize + header.tableEnd;
  uint32_t declared = Read32(file, 10);
  if (declared >= kFileHeaderSize + header.headerSize && declared <= file.size() &&
      static_cast<int64_t>(file.size() - declared) >= needed) {
    start = declared;
  }
  return Convert(header, block, file.subspan(std::min(start, file.size())), picture);
}

bool DecodeDib(std::span<const uint8_t> headerBlock, std::span<const uint8_t> pixels, DecodedPicture& picture) {
  picture = DecodedPicture{};
  DibHeader header;
  if (!ParseHeader(headerBlock, header)) return false;
  return Convert(header, headerBlock, pixels, picture);
}

bool ReadBmpFile(const std::string& path, DecodedPicture& picture) {
  picture = DecodedPicture{};
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() > kMaxWholeFileSize) return false;
  return DecodeBmp(bytes, picture);
}

}  // namespace velmio
