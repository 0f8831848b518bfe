#include "graphics/surface.h"

#include <algorithm>
#include <utility>

namespace velmio {

bool ValidSurfaceDimensions(int64_t width, int64_t height, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
  return StrideFor(width, bitsPerPixel) * height <= kMaxSurfaceBytes;
}

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this == &other) return *this;
  fileHeader = other.fileHeader;
  header = other.header;
  info = std::move(other.info);
  pixelStore = std::move(other.pixelStore);
  pixels = pixelStore.empty() ? nullptr : pixelStore.data();
  width = other.width;
  height = other.height;
  imageSize = other.imageSize;
  stride = other.stride;
  paletteCount = other.paletteCount;
  other.Release();
  return *this;
}

bool Surface::Create(int32_t newWidth, int32_t newHeight, int bitsPerPixel) {
  BitmapInfoHeader fresh;
  fresh.width = newWidth;
  fresh.height = newHeight;
  fresh.bitCount = static_cast<uint16_t>(bitsPerPixel);
  if (!ValidSurfaceDimensions(newWidth, newHeight, bitsPerPixel)) {
    Release();
    return false;
  }
  return CreateFromHeader(fresh);
}

bool Surface::CreateFromHeader(const BitmapInfoHeader& fromHeader) {
  Release();
  if (!ValidSurfaceDimensions(fromHeader.width, fromHeader.height, fromHeader.bitCount) || fromHeader.compression != 0)
    return false;
  header = fromHeader;
  header.size = 40;
  header.planes = 1;
  width = header.width;
  height = header.height;
  paletteCount = PaletteCountForDepth(header.bitCount);
  stride = static_cast<int32_t>(StrideFor(width, header.bitCount));
  imageSize = static_cast<uint32_t>(static_cast<int64_t>(stride) * height);
  header.imageSize = imageSize;
  info.assign(kInfoHeaderSize + 4 * static_cast<size_t>(paletteCount), 0);
  std::memcpy(info.data(), &header, kInfoHeaderSize);
  pixelStore.assign(imageSize, 0);
  pixels = pixelStore.data();
  return true;
}

void Surface::Release() {
  header = BitmapInfoHeader{};
  info.clear();
  info.shrink_to_fit();
  pixelStore.clear();
  pixelStore.shrink_to_fit();
  pixels = nullptr;
  width = height = 0;
  imageSize = 0;
  stride = 0;
  paletteCount = 0;
}

void FillSurface(Surface& surface, int left, int top, int right, int bottom, uint32_t rgb) {
  if (surface.Empty() || surface.BitsPerPixel() != 24) return;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, surface.width);
  bottom = std::min(bottom, surface.height);
  if (left >= right || top >= bottom) return;
  const uint8_t blue = rgb & 0xFF, green = (rgb >> 8) & 0xFF, red = (rgb >> 16) & 0xFF;
  const int width = right - left;
  for (int y = top; y < bottom; ++y) {
    uint8_t* row = surface.Row(y) + left * 3;
    if (blue == green && green == red) {
      std::memset(row, blue, static_cast<size_t>(width) * 3);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      row[3 * x] = blue;
      row[3 * x + 1] = green;
      row[3 * x + 2] = red;
    }
  }
}

namespace {

// Index of pixel x in a palettised row.
inline int PaletteIndex(const uint8_t* row, int x, int bits) {
  switch (bits) {
    case 8:
      return row[x];
    case 4:
      return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    default:  // 1
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

}  // namespace

void CopySurfaceRect(Surface& target, int x, int y, int width, int height, const Surface& source, int sourceX,
                     int sourceY) {
  if (target.Empty() || source.Empty() || target.BitsPerPixel() != 24) return;
  const int bits = source.BitsPerPixel();
  if (bits != 24 && bits != 8 && bits != 4 && bits != 1) return;
  // Clip against the source, then the target, moving both origins together.
  if (sourceX < 0) {
    x -= sourceX;
    width += sourceX;
    sourceX = 0;
  }
  if (sourceY < 0) {
    y -= sourceY;
    height += sourceY;
    sourceY = 0;
  }
  if (x < 0) {
    sourceX -= x;
    width += x;
    x = 0;
  }
  if (y < 0) {
    sourceY -= y;
    height += y;
    y = 0;
  }
  width = std::min({width, source.width - sourceX, target.width - x});
  height = std::min({height, source.height - sourceY, target.height - y});
  if (width <= 0 || height <= 0) return;
  const uint8_t* palette = source.Palette();
  for (int row = 0; row < height; ++row) {
    uint8_t* to = target.Row(y + row) + x * 3;
    const uint8_t* from = source.Row(sourceY + row);
    if (bits == 24) {
      std::memmove(to, from + sourceX * 3, static_cast<size_t>(width) * 3);
      continue;
    }
    for (int column = 0; column < width; ++column) {
      int index = PaletteIndex(from, sourceX + column, bits);
      if (index < source.paletteCount && palette) {
        const uint8_t* entry = palette + 4 * index;
        to[3 * column] = entry[0];
        to[3 * column + 1] = entry[1];
        to[3 * column + 2] = entry[2];
      } else {
        to[3 * column] = to[3 * column + 1] = to[3 * column + 2] = 0;
      }
    }
  }
}

void PictureLayer::Reset() {
  surface.Release();
  intervals.clear();
  intervals.shrink_to_fit();
  mode = TransparencyMode::Copy;
  alpha = -1;
  cell = 0;
  cells = 1;
  interval = 0;
  animationMode = AnimationMode::Loop;
  step = 1;
  lastTick = 0;
}

}  // namespace velmio
