#pragma once
// Pictures: `Surface`, a bottom-up device-independent bitmap whose pixel rows the
// program addresses directly, and `PictureLayer`, a surface with its display attributes
// (transparency, alpha, cell animation). Every picture in the system is a `PictureLayer`.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/screen.h"

namespace velmio {

// The 40-byte bitmap information header, exactly as a BMP file and the picture plug-ins lay
// it out (little-endian, no padding).
struct BitmapInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;  // positive: rows bottom-up
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;  // 0 = none
  uint32_t imageSize = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t colorsUsed = 0;
  uint32_t colorsImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "the information header is 40 bytes");

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

// Palette entry count of a depth: 2 for 1 bit, 16 for 4, 256 for 8, 0 otherwise.
constexpr int PaletteCountForDepth(int bitsPerPixel) {
  return bitsPerPixel == 1 ? 2 : bitsPerPixel == 4 ? 16 : bitsPerPixel == 8 ? 256 : 0;
}

// Bytes per row: ((width x bits + 31) / 32) x 4.
constexpr int64_t StrideFor(int64_t width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

// The largest picture the program accepts (a BMP header or plug-in asking for more is refused
// by the loader instead of allocating gigabytes): 16384 pixels in either direction and
// 256 MiB of pixel bytes.
constexpr int kMaxSurfaceSide = 16384;
constexpr int64_t kMaxSurfaceBytes = int64_t{256} << 20;

// True when a surface of this size and depth can be created: width and height 1..16384, depth
// 1, 4, 8, 16, 24 or 32, at most 256 MiB of pixels.
bool ValidSurfaceDimensions(int64_t width, int64_t height, int bitsPerPixel);

// A bottom-up DIB. Row 0 in memory is the BOTTOM row of the picture; `Row(y)` gives the row
// that is y-th from the top. 24-bit pixels are blue, green, red; rows are padded to 4 bytes.
// A surface without an information block is empty.
struct Surface {
  std::array<uint8_t, kFileHeaderSize> fileHeader{};  // a BMP's file header; otherwise unused
  BitmapInfoHeader header;
  // Owned information block: a copy of `header` followed by the palette, 4 bytes per entry
  // (blue, green, red, reserved). Empty for an empty surface.
  std::vector<uint8_t> info;
  std::vector<uint8_t> pixelStore;  // owns the pixel bytes (the "bitmap")
  uint8_t* pixels = nullptr;        // = pixelStore.data(), or null when empty
  int32_t width = 0;
  int32_t height = 0;
  uint32_t imageSize = 0;  // stride x height
  int32_t stride = 0;      // bytes per row, multiple of 4
  int32_t paletteCount = 0;

  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&& other) noexcept { *this = std::move(other); }
  Surface& operator=(Surface&& other) noexcept;

  bool Empty() const { return info.empty(); }
  int BitsPerPixel() const { return header.bitCount; }

  // Creates a black picture (pixels 0, palette 0). Releases the old one first. Returns false
  // (and leaves the surface empty) when ValidSurfaceDimensions refuses the size.
  bool Create(int32_t width, int32_t height, int bitsPerPixel);
  // Same, but takes the header from a file or plug-in (width, height, bitCount, colorsUsed...
  // as given; size, planes and imageSize are filled in). The palette is zero: fill it through
  // Palette(). False when the header's dimensions are refused or compression is not 0.
  bool CreateFromHeader(const BitmapInfoHeader& fromHeader);
  // Back to empty; frees the pixels and the information block.
  void Release();

  // The palette part of the information block (paletteCount entries of 4 bytes), or null.
  uint8_t* Palette() { return info.size() > kInfoHeaderSize ? info.data() + kInfoHeaderSize : nullptr; }
  const uint8_t* Palette() const { return info.size() > kInfoHeaderSize ? info.data() + kInfoHeaderSize : nullptr; }

  // The row y-th from the top (y = 0 is the top row of the picture).
  uint8_t* Row(int y) { return pixels + static_cast<int64_t>(height - 1 - y) * stride; }
  const uint8_t* Row(int y) const { return pixels + static_cast<int64_t>(height - 1 - y) * stride; }
};

// Solid fill of left..right-1, top..bottom-1 (right and bottom exclusive, clipped to the
// surface) with a colour given as 0xRRGGBB. 24-bit surfaces only; others are left alone.
void FillSurface(Surface& surface, int left, int top, int right, int bottom, uint32_t rgb);

// Plain block copy (BitBlt SRCCOPY): width x height pixels from (sourceX, sourceY) of `source`
// to (x, y) of `target`, both in top-down screen coordinates; clipped to both surfaces. The
// target is 24 bits; a source of 24 bits is copied row by row, an 8-bit, 4-bit or 1-bit
// source is converted through its palette. Other depths copy nothing.
void CopySurfaceRect(Surface& target, int x, int y, int width, int height, const Surface& source, int sourceX,
                     int sourceY);

// How a layer's pixels are drawn. The numbers are the scenario's and the save file's.
enum class TransparencyMode : int32_t {
  TopLeftKey = 0,  // the colour (24-bit) or index (8-bit) of the top-left pixel is transparent
  AlphaMask = 1,   // left half of each cell is the picture, right half the mask (24-bit only)
  ColourKey = 2,   // the layer's key colour (24-bit) or key palette index (8-bit) is transparent
  Copy = 3,        // opaque
};

enum class AnimationMode : int32_t {
  Loop = 0,          // after the last cell comes the first
  StopOnLast = 1,    // stays on the last cell
  BackAndForth = 2,  // the step reverses at either end
};

// A surface with its display attributes. A "drawing context" is implied by a non-empty
// surface.
struct PictureLayer {
  uint32_t lastTick = 0;  // last animation tick, platform milliseconds
  int32_t step = 1;       // animation step, +1 or -1
  // Colour key for TransparencyMode::ColourKey: 24-bit pictures compare red, green, blue;
  // 8-bit pictures compare the palette index. Kept across Reset().
  int32_t keyRed = 0;
  int32_t keyGreen = 0;
  int32_t keyBlue = 0;
  int32_t keyIndex = 0;
  Surface surface;
  TransparencyMode mode = TransparencyMode::Copy;
  int32_t alpha = -1;  // -1: no blending; 0..255: weight of the layer (255 = fully the layer)
  int32_t cell = 0;    // current cell
  int32_t cells = 1;   // number of cells side by side, at least 1
  int32_t interval = 0;  // ms per cell; -1: per-cell intervals from `intervals`
  std::vector<int32_t> intervals;  // one per cell when interval is -1, else empty
  AnimationMode animationMode = AnimationMode::Loop;

  // Deletes the picture, frees the interval table and restores the reset values (mode Copy,
  // alpha -1, cell 0, cells 1, interval 0, mode Loop, step 1, tick 0). The key stays.
  void Reset();
  // Deletes the picture only (the clear commands).
  void DestroyPicture() { surface.Release(); }
  // Deletes the picture and creates a black one of that size (the reset values are kept).
  bool MakeBlank(int32_t width, int32_t height, int bitsPerPixel) { return surface.Create(width, height, bitsPerPixel); }

  bool Empty() const { return surface.Empty(); }
  // Width of one cell: surface width / cells (integer division; 0 when cells < 1).
  int32_t CellWidth() const { return cells > 0 ? surface.width / cells : 0; }
  // Width on the screen: the cell width, halved (towards zero) in mode AlphaMask.
  int32_t DisplayedWidth() const {
    return mode == TransparencyMode::AlphaMask ? CellWidth() / 2 : CellWidth();
  }
  int32_t DisplayedHeight() const { return surface.height; }

  // Fill a rectangle (right and bottom exclusive) with 0xRRGGBB.
  void Fill(int left, int top, int right, int bottom, uint32_t rgb) { FillSurface(surface, left, top, right, bottom, rgb); }
};

}  // namespace velmio
