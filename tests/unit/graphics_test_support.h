#pragma once
// Small pictures for the graphics tests, and a reference DrawLayer written straight from the
// reference per-pixel table (one pixel at a time, every product a BlendTable lookup).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "graphics/blend_table.h"
#include "graphics/graphics_state.h"

namespace velmio::testing {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

inline Rgb GetPixel(const Surface& s, int x, int y) {
  const uint8_t* p = s.Row(y) + 3 * x;
  return Rgb{p[2], p[1], p[0]};
}

// The same pixel as 0xRRGGBB.
inline uint32_t Hex(const Surface& s, int x, int y) {
  const Rgb c = GetPixel(s, x, y);
  return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
}

inline void SetPixel(Surface& s, int x, int y, Rgb c) {
  uint8_t* p = s.Row(y) + 3 * x;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

// A 24-bit picture whose pixel (x, y) is colour(x, y).
inline void Paint(Surface& s, int width, int height, const std::function<Rgb(int, int)>& colour) {
  ASSERT_TRUE(s.Create(width, height, 24));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(s, x, y, colour(x, y));
}

// An 8-bit picture: index(x, y), palette entry i = paletteColour(i).
inline void PaintIndexed(Surface& s, int width, int height, const std::function<int(int, int)>& index,
                         const std::function<Rgb(int)>& paletteColour) {
  ASSERT_TRUE(s.Create(width, height, 8));
  uint8_t* palette = s.Palette();
  for (int i = 0; i < 256; ++i) {
    Rgb c = paletteColour(i);
    palette[4 * i] = c.b;
    palette[4 * i + 1] = c.g;
    palette[4 * i + 2] = c.r;
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) s.Row(y)[x] = static_cast<uint8_t>(index(x, y));
}

inline Rgb Pattern(int x, int y, int seed) {
  return Rgb{static_cast<uint8_t>(x * 37 + y * 11 + seed), static_cast<uint8_t>(x * 5 + y * 71 + seed * 3),
             static_cast<uint8_t>(x * 97 + y * 13 + seed * 7)};
}

inline uint8_t T(int i, int j) { return kBlendTable[i * 256 + j]; }

// The edges of a rectangle, to compare them all at once.
inline std::array<int, 4> Edges(const DirtyRect& d) { return {d.left, d.top, d.right, d.bottom}; }

// The reference DrawLayer, pixel by pixel over the target.
inline void ReferenceDrawLayer(const PictureLayer& layer, Surface& target, const ClipRect& clip, int x, int y) {
  const Surface& s = layer.surface;
  if (s.Empty()) return;
  const bool indexed = s.BitsPerPixel() == 8;
  if (!indexed && s.BitsPerPixel() != 24) return;
  if (indexed && layer.mode == TransparencyMode::AlphaMask) return;
  const int cellWidth = s.width / layer.cells;
  const int w = layer.mode == TransparencyMode::AlphaMask ? cellWidth / 2 : cellWidth;
  const int h = s.height;
  const int sourceX0 = layer.cell * cellWidth;
  auto source = [&](int sx, int sy) -> Rgb {
    if (indexed) {
      const uint8_t* e = s.Palette() + 4 * s.Row(sy)[sx];
      return Rgb{e[2], e[1], e[0]};
    }
    return GetPixel(s, sx, sy);
  };
  auto index = [&](int sx, int sy) { return s.Row(sy)[sx]; };
  for (int ty = std::max(clip.top, 0); ty < std::min(clip.bottom, target.height); ++ty) {
    for (int tx = std::max(clip.left, 0); tx < std::min(clip.right, target.width); ++tx) {
      const int64_t dx = int64_t{tx} - x, dy = int64_t{ty} - y;
      if (dx < 0 || dy < 0 || dx >= w || dy >= h) continue;
      const int sx = sourceX0 + static_cast<int>(dx), sy = static_cast<int>(dy);
      const Rgb S = source(sx, sy);
      const Rgb D = GetPixel(target, tx, ty);
      bool draw = true;
      if (layer.mode == TransparencyMode::TopLeftKey)
        draw = indexed ? index(sx, sy) != index(0, 0) : !(S == source(0, 0));
      if (layer.mode == TransparencyMode::ColourKey)
        draw = indexed ? index(sx, sy) != layer.keyIndex
                       : !(S.r == layer.keyRed && S.g == layer.keyGreen && S.b == layer.keyBlue);
      if (!draw) continue;
      Rgb out;
      auto mix = [](int weight, Rgb a, Rgb b) {  // a*weight/255 + b*(255-weight)/255
        return Rgb{static_cast<uint8_t>(T(weight, a.r) + T(255 - weight, b.r)),
                   static_cast<uint8_t>(T(weight, a.g) + T(255 - weight, b.g)),
                   static_cast<uint8_t>(T(weight, a.b) + T(255 - weight, b.b))};
      };
      if (layer.mode == TransparencyMode::AlphaMask) {
        const int m = GetPixel(s, sx + cellWidth / 2, sy).b;
        out = layer.alpha == -1 ? mix(255 - m, S, D) : mix(T(255 - m, layer.alpha), S, D);
      } else {
        out = layer.alpha == -1 ? S : mix(layer.alpha, S, D);
      }
      SetPixel(target, tx, ty, out);
    }
  }
}

inline ::testing::AssertionResult SameSurface(const Surface& a, const Surface& b) {
  if (a.width != b.width || a.height != b.height) return ::testing::AssertionFailure() << "sizes differ";
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (!(GetPixel(a, x, y) == GetPixel(b, x, y)))
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") " << GetPixel(a, x, y) << " vs "
                                             << GetPixel(b, x, y);
  return ::testing::AssertionSuccess();
}

inline void CopySurface(Surface& to, const Surface& from) {
  ASSERT_TRUE(to.Create(from.width, from.height, from.BitsPerPixel()));
  std::memcpy(to.pixels, from.pixels, from.imageSize);
}

}  // namespace velmio::testing
