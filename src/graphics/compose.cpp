#include "graphics/compose.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "graphics/blend_table.h"
#include "graphics/pixel_kernels.h"

namespace velmio {
namespace {

// Everything one DrawLayer pass needs, resolved before the pixel loops. Rows are visited from the
// top of the visible area downwards, which in bottom-up storage means one stride back in memory.
struct DrawPass {
  const uint8_t* source = nullptr;  // first visible pixel of the top visible row
  int64_t sourceStride = 0;
  uint8_t* target = nullptr;  // where that pixel lands
  int64_t targetStride = 0;
  int width = 0;
  int height = 0;
  const uint8_t* palette = nullptr;  // 8-bit pictures: 4 bytes per entry (blue, green, red, 0)
  int maskOffset = 0;                // mode 1: bytes from a picture pixel to its mask pixel
  // Transparent colour: 24-bit compares blue, green, red; 8-bit compares the index.
  uint8_t keyBlue = 0, keyGreen = 0, keyRed = 0, keyIndex = 0;
  const uint8_t* layerWeight = nullptr;   // BlendRow(a)
  const uint8_t* targetWeight = nullptr;  // BlendRow(255 - a)
  int alpha = 255;
};

// Modes 0 and 2 on a 24-bit picture: runs of pixels that are not the key are copied or blended
// as blocks.
template <bool Blended>
void DrawKeyedRuns(const DrawPass& pass, const uint8_t* bufferEnd) {
  const PixelKey key{pass.keyBlue, pass.keyGreen, pass.keyRed};
  const uint8_t* sourceRow = pass.source;
  uint8_t* targetRow = pass.target;
  for (int row = 0; row < pass.height; ++row) {
    int i = 0;
    while (i < pass.width) {
      const uint8_t* first = sourceRow + 3 * i;  // most runs start at once: no search needed
      if (first[0] == key.blue && first[1] == key.green && first[2] == key.red) {
        i = FindOtherPixel(sourceRow, i + 1, pass.width, key, bufferEnd);
        if (i >= pass.width) break;
      }
      const int end = FindKeyPixel(sourceRow, i + 1, pass.width, key, bufferEnd);
      const size_t bytes = static_cast<size_t>(end - i) * 3;
      if constexpr (Blended)
        BlendBytes(targetRow + 3 * i, sourceRow + 3 * i, bytes, pass.alpha);
      else
        std::memcpy(targetRow + 3 * i, sourceRow + 3 * i, bytes);
      i = end;
    }
    sourceRow -= pass.sourceStride;
    targetRow -= pass.targetStride;
  }
}

// Modes 0, 2 and 3. `Indexed`: 8-bit source; `Keyed`: a colour or index is transparent;
// `Blended`: alpha 1..254.
template <bool Indexed, bool Keyed, bool Blended>
void DrawKeyed(const DrawPass& pass) {
  const uint8_t* sourceRow = pass.source;
  uint8_t* targetRow = pass.target;
  const uint8_t* const layerWeight = pass.layerWeight;
  const uint8_t* const targetWeight = pass.targetWeight;
  for (int row = 0; row < pass.height; ++row) {
    if constexpr (!Indexed && !Keyed && !Blended) {
      std::memcpy(targetRow, sourceRow, static_cast<size_t>(pass.width) * 3);
    } else if constexpr (!Indexed && !Keyed && Blended) {
      BlendBytes(targetRow, sourceRow, static_cast<size_t>(pass.width) * 3, pass.alpha);
    } else {
      uint8_t* d = targetRow;
      for (int i = 0; i < pass.width; ++i, d += 3) {
        const uint8_t* s;
        if constexpr (Indexed) {
          const uint8_t index = sourceRow[i];
          if constexpr (Keyed) {
            if (index == pass.keyIndex) continue;
          }
          s = pass.palette + 4 * index;
        } else {
          s = sourceRow + 3 * i;
          if constexpr (Keyed) {
            if (s[0] == pass.keyBlue && s[1] == pass.keyGreen && s[2] == pass.keyRed) continue;
          }
        }
        if constexpr (Blended) {
          d[0] = static_cast<uint8_t>(layerWeight[s[0]] + targetWeight[d[0]]);
          d[1] = static_cast<uint8_t>(layerWeight[s[1]] + targetWeight[d[1]]);
          d[2] = static_cast<uint8_t>(layerWeight[s[2]] + targetWeight[d[2]]);
        } else {
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
        }
      }
    }
    sourceRow -= pass.sourceStride;
    targetRow -= pass.targetStride;
  }
}

// Mode 1: the mask's blue byte m weighs the picture (black shows it, white hides it).
template <bool Blended>
void DrawAlphaMask(const DrawPass& pass) {
  const uint8_t* sourceRow = pass.source;
  uint8_t* targetRow = pass.target;
  const uint8_t* const alphaRow = BlendRow(pass.alpha);
  for (int row = 0; row < pass.height; ++row) {
    const uint8_t* s = sourceRow;
    const uint8_t* m = sourceRow + pass.maskOffset;
    uint8_t* d = targetRow;
    for (int i = 0; i < pass.width; ++i, s += 3, m += 3, d += 3) {
      int weight = 255 - m[0];  // weight of the picture
      if constexpr (Blended) weight = alphaRow[weight];
      if (weight == 0) continue;
      const uint8_t* layerWeight = BlendRow(weight);
      const uint8_t* targetWeight = BlendRow(255 - weight);
      d[0] = static_cast<uint8_t>(layerWeight[s[0]] + targetWeight[d[0]]);
      d[1] = static_cast<uint8_t>(layerWeight[s[1]] + targetWeight[d[1]]);
      d[2] = static_cast<uint8_t>(layerWeight[s[2]] + targetWeight[d[2]]);
    }
    sourceRow -= pass.sourceStride;
    targetRow -= pass.targetStride;
  }
}

template <bool Indexed>
void DrawWithKey(const DrawPass& pass, bool keyed, bool blended) {
  if (keyed) {
    if (blended)
      DrawKeyed<Indexed, true, true>(pass);
    else
      DrawKeyed<Indexed, true, false>(pass);
  } else {
    if (blended)
      DrawKeyed<Indexed, false, true>(pass);
    else
      DrawKeyed<Indexed, false, false>(pass);
  }
}

void TintPixels(uint8_t* p, size_t count, const uint8_t* blueTint, const uint8_t* greenTint, const uint8_t* redTint) {
  for (size_t i = 0; i < count; ++i, p += 3) {
    const int luminance = (p[0] + p[1] + p[2]) / 3;
    p[0] = blueTint[luminance];
    p[1] = greenTint[luminance];
    p[2] = redTint[luminance];
  }
}

bool IsWholeScreen(const Surface& surface, int left, int top, int right, int bottom) {
  return left == 0 && top == 0 && right == kScreenWidth - 1 && bottom == kScreenHeight - 1 &&
         surface.width == kScreenWidth && surface.height == kScreenHeight &&
         surface.stride == kScreenWidth * 3;
}

// Limits an inclusive rectangle to the surface; false when nothing is left.
bool ClampInclusive(const Surface& surface, int& left, int& top, int& right, int& bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, surface.width - 1);
  bottom = std::min(bottom, surface.height - 1);
  return left <= right && top <= bottom;
}

}  // namespace

void DrawLayer(const PictureLayer& layer, Surface& target, const ClipRect& clip, int x, int y) {
  const Surface& surface = layer.surface;
  if (surface.Empty() || target.Empty() || target.BitsPerPixel() != 24) return;
  const int bits = surface.BitsPerPixel();
  const bool indexed = bits == 8 && surface.paletteCount == 256;
  if (!indexed && !(bits == 24 && surface.paletteCount == 0)) return;
  if (layer.mode == TransparencyMode::AlphaMask && indexed) return;
  if (layer.cells < 1 || layer.cell < 0 || layer.cell >= layer.cells) return;
  int alpha = layer.alpha;
  if (alpha >= 255) alpha = -1;  // alpha 255 gives exactly the unblended picture
  if (alpha != -1 && alpha <= 0) return;  // alpha 0 leaves the target unchanged

  // 1. Source cell.
  const int cellWidth = surface.width / layer.cells;
  const bool masked = layer.mode == TransparencyMode::AlphaMask;
  int w = masked ? cellWidth / 2 : cellWidth;
  int h = surface.height;
  int sourceX = layer.cell * cellWidth;
  int skip = 0;

  // 2. Clip (the layer's clip, further limited to the target surface).
  const int clipLeft = std::max(clip.left, 0);
  const int clipTop = std::max(clip.top, 0);
  const int clipRight = std::min(clip.right, target.width);
  const int clipBottom = std::min(clip.bottom, target.height);
  int64_t left = x, top = y;  // 64-bit so that positions near the int limits cannot overflow
  if (left < clipLeft) {
    int64_t cut = clipLeft - left;
    if (cut >= w) return;
    sourceX += static_cast<int>(cut);
    w -= static_cast<int>(cut);
    left = clipLeft;
  }
  if (top < clipTop) {
    int64_t cut = clipTop - top;
    if (cut >= h) return;
    skip = static_cast<int>(cut);
    h -= skip;
    top = clipTop;
  }
  if (left + w - 1 >= clipRight) w = static_cast<int>(clipRight - left);
  if (top + h - 1 >= clipBottom) h = static_cast<int>(clipBottom - top);
  if (w <= 0 || h <= 0) return;
  const int maskPixels = masked ? cellWidth / 2 : 0;
  if (sourceX + w + maskPixels > surface.width) return;  // never read outside the picture

  // 3. Rows from the top visible one.
  DrawPass pass;
  const int bytesPerPixel = indexed ? 1 : 3;
  pass.source = surface.Row(skip) + static_cast<int64_t>(sourceX) * bytesPerPixel;
  pass.sourceStride = surface.stride;
  pass.target = target.Row(static_cast<int>(top)) + left * 3;
  pass.targetStride = target.stride;
  pass.width = w;
  pass.height = h;
  pass.palette = indexed ? surface.Palette() : nullptr;
  pass.maskOffset = maskPixels * 3;
  pass.alpha = alpha == -1 ? 255 : alpha;
  pass.layerWeight = BlendRow(pass.alpha);
  pass.targetWeight = BlendRow(255 - pass.alpha);
  const bool blended = alpha != -1;

  // 4. Per pixel.
  switch (layer.mode) {
    case TransparencyMode::AlphaMask:
      if (blended)
        DrawAlphaMask<true>(pass);
      else
        DrawAlphaMask<false>(pass);
      return;
    case TransparencyMode::TopLeftKey: {
      const uint8_t* topLeft = surface.Row(0);
      pass.keyIndex = topLeft[0];
      if (!indexed) {
        pass.keyBlue = topLeft[0];
        pass.keyGreen = topLeft[1];
        pass.keyRed = topLeft[2];
      }
      break;
    }
    case TransparencyMode::ColourKey:
      pass.keyBlue = static_cast<uint8_t>(layer.keyBlue);
      pass.keyGreen = static_cast<uint8_t>(layer.keyGreen);
      pass.keyRed = static_cast<uint8_t>(layer.keyRed);
      // An index outside 0..255 matches no pixel.
      if (indexed && (layer.keyIndex < 0 || layer.keyIndex > 255)) {
        DrawWithKey<true>(pass, false, blended);
        return;
      }
      pass.keyIndex = static_cast<uint8_t>(layer.keyIndex);
      break;
    case TransparencyMode::Copy:
      break;
    default:
      return;  // not a mode of the data model
  }
  const bool keyed = layer.mode != TransparencyMode::Copy;
  if (keyed && !indexed) {
    const uint8_t* bufferEnd = surface.pixels + surface.imageSize;
    if (blended)
      DrawKeyedRuns<true>(pass, bufferEnd);
    else
      DrawKeyedRuns<false>(pass, bufferEnd);
    return;
  }
  if (indexed)
    DrawWithKey<true>(pass, keyed, blended);
  else
    DrawWithKey<false>(pass, keyed, blended);
}

void ApplyNegative(Surface& surface, int left, int top, int right, int bottom) {
  if (surface.Empty() || surface.BitsPerPixel() != 24) return;
  if (!ClampInclusive(surface, left, top, right, bottom)) return;
  if (IsWholeScreen(surface, left, top, right, bottom)) {
    InvertBytes(surface.pixels, surface.imageSize);
    return;
  }
  for (int y = top; y <= bottom; ++y) InvertBytes(surface.Row(y) + left * 3, static_cast<size_t>(right - left + 1) * 3);
}

void ApplyMonochrome(Surface& surface, int left, int top, int right, int bottom, uint8_t red, uint8_t green,
                     uint8_t blue) {
  if (surface.Empty() || surface.BitsPerPixel() != 24) return;
  if (!ClampInclusive(surface, left, top, right, bottom)) return;
  // BlendTable is symmetric: [L x 256 + tint] = [tint x 256 + L], so the tint's row serves.
  const uint8_t* blueTint = BlendRow(blue);
  const uint8_t* greenTint = BlendRow(green);
  const uint8_t* redTint = BlendRow(red);
  if (IsWholeScreen(surface, left, top, right, bottom)) {
    TintPixels(surface.pixels, static_cast<size_t>(kScreenWidth) * kScreenHeight,
               blueTint, greenTint, redTint);
    return;
  }
  for (int y = top; y <= bottom; ++y)
    TintPixels(surface.Row(y) + left * 3, static_cast<size_t>(right - left + 1),
               blueTint, greenTint, redTint);
}

std::optional<DirtyRect> ComposeScreen(GraphicsState& graphics) {
  DirtyRect whole;
  whole.left = 0;
  whole.top = 0;
  whole.right = kScreenWidth - 1;
  whole.bottom = kScreenHeight - 1;
  return ComposeScreen(graphics, whole);
}

std::optional<DirtyRect> ComposeScreen(GraphicsState& graphics, const DirtyRect& rect) {
  Surface& compose = graphics.compose;

  // 1. Working rectangle and clip.
  int left = std::clamp(rect.left, 0, kScreenWidth - 1);
  int top = std::clamp(rect.top, 0, kScreenHeight - 1);
  int right = std::min(rect.right, kScreenWidth - 1);
  int bottom = std::min(rect.bottom, kScreenHeight - 1);
  if (right < left || bottom < top) return std::nullopt;
  const int width = right - left + 1;
  const int height = bottom - top + 1;
  const ClipRect clip{left, top, right + 1, bottom + 1};

  // 2. Background.
  const BackgroundWindow& window = graphics.backgroundWindow;
  const Surface& background = graphics.background.surface;
  if (!window.On()) {
    if (background.Empty() || background.width < right + 1 || background.height < bottom + 1 ||
        background.BitsPerPixel() != 24)
      FillSurface(compose, left, top, right + 1, bottom + 1, 0);
    CopySurfaceRect(compose, left, top, width, height, background, left, top);
  } else {
    FillSurface(compose, left, top, right + 1, bottom + 1, 0);
    int64_t copyWidth = std::min<int64_t>(width, int64_t{window.x} + window.width - left);
    int64_t copyHeight = std::min<int64_t>(height, int64_t{window.height} - (int64_t{top} - window.y));
    if (copyWidth > 0 && copyHeight > 0) {
      int64_t sourceX = int64_t{left} - window.x;
      int64_t sourceY = int64_t{top} - window.y;
      if (sourceX > INT32_MIN / 2 && sourceX < INT32_MAX / 2 && sourceY > INT32_MIN / 2 && sourceY < INT32_MAX / 2)
        CopySurfaceRect(compose, left, top, static_cast<int>(copyWidth), static_cast<int>(copyHeight), background,
                        static_cast<int>(sourceX), static_cast<int>(sourceY));
    }
  }

  // 3-5. Sprites behind, standing pictures, sprites in front (sprite 0 is the top-most).
  const int humanz = std::clamp(graphics.humanz, 0, kSpriteCount - 1);
  auto drawSprite = [&](int number) {
    const Sprite& sprite = graphics.sprites[number];
    if (sprite.Shown()) DrawLayer(sprite.layer, compose, clip, sprite.X(), sprite.Y());
  };
  for (int number = kSpriteCount - 1; number > humanz; --number) drawSprite(number);
  for (const StandingPicture& picture : graphics.standing)
    if (picture.Shown()) DrawLayer(picture.layer, compose, clip, picture.X(), picture.Y());
  for (int number = humanz; number >= 0; --number) drawSprite(number);

  // 6-8. Filters.
  if (graphics.negativeMode == 1) ApplyNegative(compose, left, top, right, bottom);
  if (graphics.monochrome)
    ApplyMonochrome(compose, left, top, right, bottom, graphics.monochromeRed, graphics.monochromeGreen,
                    graphics.monochromeBlue);
  if (graphics.negativeMode == 2) ApplyNegative(compose, left, top, right, bottom);

  DirtyRect working;
  working.left = left;
  working.top = top;
  working.right = right;
  working.bottom = bottom;
  return working;
}

}  // namespace velmio
