#include "text/menu_text.h"

#include <algorithm>

#include "base/encoding.h"
#include "graphics/blend_table.h"
#include "graphics/compose.h"
#include "graphics/effects.h"
#include "graphics/present.h"
#include "text/glyph_blend.h"
#include "text/line_breaking.h"
#include "text/text_context.h"
#include "text/text_window.h"

namespace velmio {
namespace {

struct MenuGlyphSettings {
  int32_t glyphWidth;
  int32_t glyphHeight;
  int32_t pitchX;
  int32_t pitchY;
  bool bold;
  bool shadow;
};

MenuGlyphSettings SettingsFor(const TextState& text) {
  if (text.menuMode) {
    const MenuWindow& menu = text.menuWindow;
    return {menu.glyphWidth, menu.glyphHeight, menu.pitchX, menu.pitchY, menu.bold != 0, menu.shadow != 0};
  }
  return {text.glyphWidth, text.glyphHeight, text.pitchX, text.pitchY, text.bold != 0, text.shadow != 0};
}

// The menu screen: the pictures without the text window, shaded all over, shown at once.
void PrepareMenuArea(TextContext& engine) {
  TextState& text = engine.text;
  text.menuAreaPrepared = true;
  text.composeTextWindow = false;
  engine.RecomposeScreen();
  text.composeTextWindow = true;
  ShadeMenuArea(engine, 0, 0, kScreenWidth, kScreenHeight, engine.graphics.compose);
  ShowWithEffect(engine, 1, 0, {}, nullptr);
}

}  // namespace

ScreenArea Union(const ScreenArea& a, const ScreenArea& b) {
  if (a.width <= 0 || a.height <= 0) return b;
  if (b.width <= 0 || b.height <= 0) return a;
  const int left = std::min(a.left, b.left);
  const int top = std::min(a.top, b.top);
  const int right = std::max(a.left + a.width, b.left + b.width);
  const int bottom = std::max(a.top + a.height, b.top + b.height);
  return ScreenArea{left, top, right - left, bottom - top};
}

int DrawMenuText(TextContext& engine, std::string_view string, int& column, int& line, uint32_t rgb,
                 ScreenArea* drawn) {
  TextState& text = engine.text;
  GraphicsState& graphics = engine.graphics;
  const MenuGlyphSettings settings = SettingsFor(text);
  if (text.menuMode && !text.menuAreaPrepared) PrepareMenuArea(engine);

  // 64 bits, so that a cell far outside the area stays outside instead of wrapping into it.
  int64_t x = column >= 0 ? int64_t{text.textX} + int64_t{text.pitchX} * column : -int64_t{column};
  int64_t y = line >= 0 ? int64_t{text.textY} + int64_t{text.pitchY} * line : -int64_t{line};
  const TextRect area = text.menuMode ? TextRect{0, 0, kScreenWidth - 1, kScreenHeight - 1}
                                      : ClampedWindowRect(text.windowRect);
  if (IsEmpty(area)) return 0;

  GlyphCanvas& canvas = text.canvas;
  canvas.SelectFont(GlyphFont{text.fontFace, settings.glyphWidth, settings.glyphHeight, settings.bold});
  const TextColour colour = TextColour::FromRgb(rgb);
  std::vector<uint8_t> cell;
  int cells = 0;
  size_t at = 0;
  auto byteAt = [&](size_t index) -> unsigned char {
    return index < string.size() ? static_cast<unsigned char>(string[index]) : 0;
  };
  for (;;) {
    const unsigned char first = byteAt(at);
    if (first == 0) break;
    if (first == ' ' || first == '\t') {
      ++at;
      continue;
    }
    const unsigned char second = byteAt(at + 1);
    if (second == 0) return cells;  // the text ends inside a pair
    at += 2;

    // A cell outside the drawing area is not drawn; the callers keep their items inside it.
    const bool inside = x >= area.left && y >= area.top && x + settings.glyphWidth - 1 <= area.right &&
                        y + settings.glyphHeight - 1 <= area.bottom;
    if (inside) {
      const int cellX = static_cast<int>(x);
      const int cellY = static_cast<int>(y);
      canvas.Rasterise(first, second);
      if (!text.menuMode) {
        DirtyRect rect;
        rect.left = cellX;
        rect.top = cellY;
        rect.right = cellX + settings.glyphWidth;
        rect.bottom = cellY + settings.glyphHeight;
        engine.RecomposeScreen(rect);
      }
      // Whatever was drawn in the cell before goes, so an item can be redrawn in another colour.
      CopySurfaceRect(graphics.display, cellX, cellY, settings.glyphWidth + 1, settings.glyphHeight + 1,
                      graphics.compose, cellX, cellY);
      canvas.Filter(cell);
      BlendGlyphCell(cell, settings.glyphWidth, settings.glyphHeight, cellX, cellY, colour,
                     settings.shadow ? Shadow::On : Shadow::Off, &text.layers, graphics.display);
      const ScreenArea cellArea{cellX, cellY, settings.glyphWidth, settings.glyphHeight};
      if (drawn) {
        *drawn = Union(*drawn, cellArea);
      } else {
        CopyToWindow(engine, graphics.display, cellArea);
      }
    }

    if (column < 0) {
      x += settings.pitchX;
      continue;
    }
    const LookAhead ahead = ScanAhead(string, at);
    ++column;
    if (cells < text.charsPerLine) ++cells;
    if (!text.menuMode && column + MenuBinding(ahead) >= text.charsPerLine) {
      // The pitch below is still added, so a wrapped line starts one cell right of textX while
      // its column counts from 0: choice lists were laid out seeing exactly that.
      x = text.textX;
      column = 0;
      y += text.pitchY;
      ++line;
    }
    x += settings.pitchX;
  }
  if (column != 0) {
    column = 0;
    ++line;
  }
  return cells;
}

void ShadeMenuArea(TextContext& engine, int left, int top, int right, int bottom, Surface& target) {
  const int width = std::min(kScreenWidth, right - left + 1);
  const int height = std::min(kScreenHeight, bottom - top + 1);
  if (width <= 0 || height <= 0) return;
  engine.text.windowShown = true;
  if (target.Empty() || target.BitsPerPixel() != 24) return;
  const TextColour colour = TextColour::FromRgb(engine.text.menuWindow.colour);
  const uint8_t* blue = BlendRow(colour.blue);
  const uint8_t* green = BlendRow(colour.green);
  const uint8_t* red = BlendRow(colour.red);
  const int endX = std::min(left + width, target.width);
  const int endY = std::min(top + height, target.height);
  for (int y = std::max(top, 0); y < endY; ++y) {
    uint8_t* pixel = target.Row(y) + 3 * std::max(left, 0);
    for (int x = std::max(left, 0); x < endX; ++x, pixel += 3) {
      pixel[0] = blue[pixel[0]];
      pixel[1] = green[pixel[1]];
      pixel[2] = red[pixel[2]];
    }
  }
}

}  // namespace velmio
