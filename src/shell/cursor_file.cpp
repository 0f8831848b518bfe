#include "shell/cursor_file.h"

#include <cstdlib>
#include <cstring>

namespace velmio {
namespace {

constexpr int kMaxCursorSide = 256;
constexpr size_t kMaxAnimationFrames = 256;
constexpr size_t kMaxAnimationSteps = 4096;
constexpr uint32_t kJiffyMicroseconds = 16667;  // animated cursors count in 1/60 s
constexpr uint32_t kResourceTypeIcon = 1;
constexpr uint32_t kResourceTypeCursor = 2;

uint16_t Read16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
uint32_t Read32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
uint32_t Read32BigEndian(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | static_cast<uint32_t>(bytes[at + 3]);
}
bool HasTag(std::span<const uint8_t> bytes, size_t at, const char* tag) {
  return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

bool IsPng(std::span<const uint8_t> image) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return image.size() >= 8 && std::memcmp(image.data(), kSignature, 8) == 0;
}

bool DecodePngFrame(std::span<const uint8_t> image, CursorFrame& frame) {
  // The size sits in the IHDR chunk that must come first; the pixels are the backend's to decode.
  if (image.size() < 24 || !HasTag(image, 12, "IHDR")) return false;
  uint32_t width = Read32BigEndian(image, 16), height = Read32BigEndian(image, 20);
  if (width == 0 || height == 0 || width > kMaxCursorSide || height > kMaxCursorSide) return false;
  frame.width = static_cast<int>(width);
  frame.height = static_cast<int>(height);
  frame.png.assign(image.begin(), image.end());
  return true;
}

// A device-independent bitmap of twice the cursor's height: the colour rows, then the 1-bit
// mask rows (1 = transparent), both bottom-up.
bool DecodeBitmapFrame(std::span<const uint8_t> image, CursorFrame& frame) {
  if (image.size() < 40) return false;
  uint32_t headerSize = Read32(image, 0);
  int32_t width = static_cast<int32_t>(Read32(image, 4));
  int32_t doubleHeight = static_cast<int32_t>(Read32(image, 8));
  uint16_t bits = Read16(image, 14);
  uint32_t compression = Read32(image, 16);
  uint32_t colorsUsed = Read32(image, 32);
  if (headerSize < 40 || headerSize > image.size()) return false;
  if (width <= 0 || width > kMaxCursorSide || doubleHeight <= 0 || doubleHeight > 2 * kMaxCursorSide) return false;
  int32_t height = doubleHeight / 2;
  if (height == 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (compression != 0 && !(compression == 3 && bits == 32)) return false;

  size_t paletteCount = 0;
  if (bits <= 8) {
    size_t full = size_t{1} << bits;
    paletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
  }
  size_t paletteAt = headerSize;
  if (compression == 3 && headerSize == 40) paletteAt += 12;  // the three channel masks follow
  size_t colourAt = paletteAt + paletteCount * 4;
  size_t colourStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
  size_t maskAt = colourAt + colourStride * height;
  if (maskAt > image.size()) return false;
  // 32-bit cursors may leave the mask out and rely on their alpha.
  bool hasMask = maskAt + maskStride * height <= image.size();
  if (!hasMask && bits != 32) return false;

  frame.width = width;
  frame.height = height;
  frame.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  bool anyAlpha = false;
  for (int32_t y = 0; y < height && bits == 32; ++y)
    for (int32_t x = 0; x < width && !anyAlpha; ++x) anyAlpha = image[colourAt + y * colourStride + x * 4 + 3] != 0;

  for (int32_t row = 0; row < height; ++row) {
    size_t colourRow = colourAt + static_cast<size_t>(height - 1 - row) * colourStride;
    size_t maskRow = maskAt + static_cast<size_t>(height - 1 - row) * maskStride;
    for (int32_t x = 0; x < width; ++x) {
      uint8_t blue, green, red, alpha = 255;
      if (bits <= 8) {
        size_t bit = static_cast<size_t>(x) * bits;
        unsigned index = (image[colourRow + bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index >= paletteCount) index = 0;
        const uint8_t* entry = image.data() + paletteAt + index * 4;
        blue = entry[0], green = entry[1], red = entry[2];
      } else {
        const uint8_t* pixel = image.data() + colourRow + static_cast<size_t>(x) * (bits / 8);
        blue = pixel[0], green = pixel[1], red = pixel[2];
        if (anyAlpha) alpha = pixel[3];
      }
      if (!anyAlpha && hasMask && (image[maskRow + x / 8] >> (7 - x % 8) & 1)) {
        // Mask set: transparent over black, screen inversion otherwise, which a colour cursor
        // cannot do; a solid black pixel keeps the shape visible on light pictures at least.
        bool black = red == 0 && green == 0 && blue == 0;
        alpha = black ? 0 : 255;
        red = green = blue = 0;
      }
      uint8_t* out = frame.rgba.data() + (static_cast<size_t>(row) * width + x) * 4;
      out[0] = red, out[1] = green, out[2] = blue, out[3] = alpha;
    }
  }
  return true;
}

// An icon or cursor directory: picks the image nearest the usual 32 x 32 cursor size.
bool ParseIconDirectory(std::span<const uint8_t> bytes, CursorFrame& frame) {
  if (bytes.size() < 6 || Read16(bytes, 0) != 0) return false;
  uint16_t type = Read16(bytes, 2), count = Read16(bytes, 4);
  if ((type != kResourceTypeIcon && type != kResourceTypeCursor) || count == 0) return false;
  if (6 + size_t{count} * 16 > bytes.size()) return false;
  int best = -1, bestDistance = 0;
  uint32_t bestSize = 0;
  for (int i = 0; i < count; ++i) {
    size_t entry = 6 + static_cast<size_t>(i) * 16;
    int width = bytes[entry] == 0 ? 256 : bytes[entry];
    uint32_t size = Read32(bytes, entry + 8);
    int distance = std::abs(width - 32);
    if (best < 0 || distance < bestDistance || (distance == bestDistance && size > bestSize)) {
      best = i, bestDistance = distance, bestSize = size;
    }
  }
  size_t entry = 6 + static_cast<size_t>(best) * 16;
  uint32_t size = Read32(bytes, entry + 8), offset = Read32(bytes, entry + 12);
  if (offset >= bytes.size()) return false;
  // Some editors write a wrong size; the data cannot go past the file anyway.
  size_t available = bytes.size() - offset;
  std::span<const uint8_t> image = bytes.subspan(offset, size == 0 || size > available ? available : size);
  bool decoded = IsPng(image) ? DecodePngFrame(image, frame) : DecodeBitmapFrame(image, frame);
  if (!decoded) return false;
  if (type == kResourceTypeCursor) {
    frame.hotX = std::min<int>(Read16(bytes, entry + 4), frame.width - 1);
    frame.hotY = std::min<int>(Read16(bytes, entry + 6), frame.height - 1);
  }
  return true;
}

uint32_t JiffiesToMilliseconds(uint32_t jiffies) {
  if (jiffies == 0) jiffies = 1;
  if (jiffies > 60 * 60 * 60) jiffies = 60 * 60 * 60;  // an hour is "still" enough
  return static_cast<uint32_t>((uint64_t{jiffies} * kJiffyMicroseconds + 500) / 1000);
}

std::optional<CursorImage> ParseAnimatedCursor(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || !HasTag(bytes, 8, "ACON")) return std::nullopt;
  size_t end = std::min<size_t>(bytes.size(), size_t{Read32(bytes, 4)} + 8);
  CursorImage image;
  uint32_t stepCount = 0, defaultRate = 0;
  bool haveHeader = false;
  std::vector<uint32_t> rates, sequence;
  auto readList = [&](size_t at, size_t size) {
    size_t count = size / 4;
    std::vector<uint32_t> values;
    for (size_t i = 0; i < count && i < kMaxAnimationSteps; ++i) values.push_back(Read32(bytes, at + i * 4));
    return values;
  };
  size_t at = 12;
  while (at + 8 <= end) {
    size_t size = Read32(bytes, at + 4);
    size_t data = at + 8;
    if (size > end - data) size = end - data;
    if (HasTag(bytes, at, "anih") && size >= 36) {
      haveHeader = true;
      stepCount = Read32(bytes, data + 8);
      defaultRate = Read32(bytes, data + 28);
      if ((Read32(bytes, data + 32) & 1) == 0) return std::nullopt;  // raw bitmaps, not icons
    } else if (HasTag(bytes, at, "rate")) {
      rates = readList(data, size);
    } else if (HasTag(bytes, at, "seq ")) {
      sequence = readList(data, size);
    } else if (HasTag(bytes, at, "LIST") && size >= 4 && HasTag(bytes, data, "fram")) {
      size_t inner = data + 4, listEnd = data + size;
      while (inner + 8 <= listEnd) {
        size_t frameSize = std::min<size_t>(Read32(bytes, inner + 4), listEnd - inner - 8);
        if (HasTag(bytes, inner, "icon")) {
          if (image.frames.size() >= kMaxAnimationFrames) return std::nullopt;
          CursorFrame frame;
          if (!ParseIconDirectory(bytes.subspan(inner + 8, frameSize), frame)) return std::nullopt;
          image.frames.push_back(std::move(frame));
        }
        inner += 8 + frameSize + (frameSize & 1);
      }
    }
    at = data + size + (size & 1);
  }
  if (!haveHeader || image.frames.empty()) return std::nullopt;
  if (stepCount == 0 || stepCount > kMaxAnimationSteps) stepCount = static_cast<uint32_t>(image.frames.size());
  if (stepCount > 1 || image.frames.size() > 1) {
    for (uint32_t step = 0; step < stepCount; ++step) {
      uint32_t frame = step < sequence.size() ? sequence[step] : step;
      if (frame >= image.frames.size()) frame = step % image.frames.size();
      uint32_t rate = step < rates.size() ? rates[step] : defaultRate;
      image.steps.push_back({static_cast<int>(frame), JiffiesToMilliseconds(rate)});
    }
  }
  return image;
}

}  // namespace

std::optional<CursorImage> ParseCursorFile(std::span<const uint8_t> bytes) {
  if (HasTag(bytes, 0, "RIFF")) return ParseAnimatedCursor(bytes);
  CursorImage image;
  CursorFrame frame;
  if (!ParseIconDirectory(bytes, frame)) return std::nullopt;
  image.frames.push_back(std::move(frame));
  return image;
}

}  // namespace velmio
