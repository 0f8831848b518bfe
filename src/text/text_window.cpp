#include "text/text_window.h"

#include <algorithm>

#include "base/errors.h"
#include "graphics/blend_table.h"
#include "graphics/compose.h"
#include "graphics/effects.h"
#include "text/glyph_blend.h"
#include "text/text_context.h"

namespace velmio {
namespace {

DirtyRect ToDirty(int left, int top, int right, int bottom) {
  DirtyRect rect;
  rect.left = left;
  rect.top = top;
  rect.right = right;
  rect.bottom = bottom;
  return rect;
}

// The rectangle (left, top, right + 2, bottom + 2) in which the window and the shadow of its
// last column are shown.
DirtyRect ShownArea(const TextRect& rect) { return ToDirty(rect.left, rect.top, rect.right + 2, rect.bottom + 2); }

void EraseWith(TextContext& engine, bool forced) {
  TextState& text = engine.text;
  if (!text.windowShown || (!forced && text.eraseWindowMode == 0)) return;
  GraphicsState& graphics = engine.graphics;
  text.composeTextWindow = false;
  text.windowShown = false;
  const TextRect& window = text.windowRect;
  AddDirtyRect(graphics, window.left, window.top, window.right, window.bottom);
  const DirtyRect rect = graphics.dirty;
  engine.RecomposeScreen(rect);
  ShowWithEffect(engine, text.windowEffect.type, text.windowEffect.duration, text.windowEffect.mask, &rect);
}

}  // namespace

TextRect ClampedWindowRect(const TextRect& rect) {
  return TextRect{std::clamp(rect.left, 0, kScreenWidth - 1), std::clamp(rect.top, 0, kScreenHeight - 1),
                  std::clamp(rect.right, 0, kScreenWidth - 1), std::clamp(rect.bottom, 0, kScreenHeight - 1)};
}

void NewLine(TextContext& engine) {
  TextState& text = engine.text;
  text.column = 0;
  text.history.AppendLineEnd();
  ++text.line;
  if (text.line == text.lineCount) RaiseError("エラー", "文字が枠をはみ出してしまいました。");
}

void ClearTextPage(TextContext& engine) {
  TextState& text = engine.text;
  text.column = 0;
  text.line = 0;
  text.layers.Clear();
  text.fontFace = text.defaultFontFace;
  if (!text.windowShown) return;
  const TextRect& window = text.windowRect;
  text.composeTextWindow = false;
  const DirtyRect area = ShownArea(window);
  engine.RecomposeScreen(area);
  ShadeTextWindow(engine, window.left, window.top, window.right, window.bottom, engine.graphics.compose);
  ShowWithEffect(engine, 1, 0, {}, &area);
  text.windowShown = true;
  text.composeTextWindow = true;
}

void EraseTextWindow(TextContext& engine) { EraseWith(engine, false); }
void EraseTextWindowForced(TextContext& engine) { EraseWith(engine, true); }

void DrawTextWindow(TextContext& engine, const std::optional<TextRect>& area) {
  TextState& text = engine.text;
  if (text.textVisible == 0) return;
  TextRect rect = text.windowRect;
  if (area) {
    rect.left = std::max(rect.left, area->left);
    rect.top = std::max(rect.top, area->top);
    rect.right = std::min(rect.right, area->right);
    rect.bottom = std::min(rect.bottom, area->bottom);
  }
  rect = ClampedWindowRect(rect);
  if (IsEmpty(rect)) return;
  Surface& compose = engine.graphics.compose;
  ShadeTextWindow(engine, rect.left, rect.top, rect.right, rect.bottom, compose);
  BlendTextLayers(text.layers, text.shadow ? Shadow::On : Shadow::Off, rect.left, rect.top, rect.right, rect.bottom,
                  compose);
}

void DrawTextWindowOnCompose(TextContext& engine, const DirtyRect& rect) {
  if (!engine.text.composeTextWindow) return;
  DrawTextWindow(engine, TextRect{rect.left, rect.top, rect.right, rect.bottom});
}

void ShadeTextWindow(TextContext& engine, int left, int top, int right, int bottom, Surface& target) {
  TextState& text = engine.text;
  const int width = std::min(kScreenWidth, right - left + 1);
  const int height = std::min(kScreenHeight, bottom - top + 1);
  if (width <= 0 || height <= 0) return;
  text.windowShown = true;
  if (target.Empty() || target.BitsPerPixel() != 24) return;
  if (text.windowColour == kTextNoColour) {
    ClipRect clip{left, top, right + 2, bottom + 2};
    DrawLayer(text.windowPicture, target, clip, text.windowRect.left, text.windowRect.top);
    return;
  }
  const TextColour colour = TextColour::FromRgb(static_cast<uint32_t>(text.windowColour));
  if (colour.red == 255 && colour.green == 255 && colour.blue == 255) return;
  // Only the part on the target is touched.
  const int firstX = std::max(left, 0);
  const int firstY = std::max(top, 0);
  const int endX = std::min(left + width, target.width);
  const int endY = std::min(top + height, target.height);
  const uint8_t* blue = BlendRow(colour.blue);
  const uint8_t* green = BlendRow(colour.green);
  const uint8_t* red = BlendRow(colour.red);
  for (int y = firstY; y < endY; ++y) {
    uint8_t* pixel = target.Row(y) + 3 * firstX;
    for (int x = firstX; x < endX; ++x, pixel += 3) {
      pixel[0] = blue[pixel[0]];
      pixel[1] = green[pixel[1]];
      pixel[2] = red[pixel[2]];
    }
  }
}

bool ShowTextWindow(TextContext& engine) {
  TextState& text = engine.text;
  const TextRect clamped = ClampedWindowRect(text.windowRect);
  if (IsEmpty(clamped)) return false;
  if (text.windowShown) return true;
  text.composeTextWindow = true;
  engine.RecomposeScreen();
  const DirtyRect area = ShownArea(clamped);
  ShowWithEffect(engine, text.windowEffect.type, text.windowEffect.duration, text.windowEffect.mask, &area);
  return true;
}

}  // namespace velmio
