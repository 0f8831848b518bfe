#include "ui/lookback.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

#include "base/encoding.h"

#include "graphics/compose.h"
#include "graphics/effects.h"
#include "graphics/picture_loader.h"
#include "graphics/present.h"
#include "sound/media.h"
#include "text/glyph_blend.h"
#include "text/text_window.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

enum Button { kUpOn, kUpOff, kDownOn, kDownOff };

// The two scroll buttons at the window's right edge and the screen under them.
class Buttons {
 public:
  Buttons(UiContext& engine) : engine_(engine), buttons_(engine.ui.lookback.buttons) {
    width_ = buttons_[kUpOn].DisplayedWidth();
    height_ = buttons_[kUpOn].DisplayedHeight();
  }

  void SaveUnder() {
    const TextRect& window = engine_.text.windowRect;
    up_ = {window.right - width_, window.top};
    down_ = {window.right - width_, window.bottom - height_};
    Save(upUnder_, up_);
    Save(downUnder_, down_);
  }

  void Draw(int page, int pages, int zone) {
    Surface& display = engine_.graphics.display;
    CopySurfaceRect(display, up_.x, up_.y, width_, height_, upUnder_, 0, 0);
    if (page > 0) DrawLayer(buttons_[zone == -1 ? kUpOn : kUpOff], display, ClipRect{}, up_.x, up_.y);
    CopyToWindow(engine_, display, ScreenArea{up_.x, up_.y, width_, height_});
    CopySurfaceRect(display, down_.x, down_.y, width_, height_, downUnder_, 0, 0);
    if (page < pages - 1) DrawLayer(buttons_[zone == 1 ? kDownOn : kDownOff], display, ClipRect{}, down_.x, down_.y);
    CopyToWindow(engine_, display, ScreenArea{down_.x, down_.y, width_, height_});
  }

 private:
  struct Point {
    int x = 0;
    int y = 0;
  };
  void Save(Surface& under, Point at) {
    under.Create(std::max(width_, 1), std::max(height_, 1), 24);
    CopySurfaceRect(under, 0, 0, width_, height_, engine_.graphics.display, at.x, at.y);
  }

  UiContext& engine_;
  std::array<PictureLayer, 4>& buttons_;
  int width_ = 0;
  int height_ = 0;
  Point up_, down_;
  Surface upUnder_, downUnder_;
};

// The filtered cells of the characters drawn so far while the viewer is open, in its font:
// turning back a page mostly meets characters already drawn.
struct GlyphCells {
  GlyphFont font;
  std::unordered_map<uint16_t, std::vector<uint8_t>> cells;
};

void ShowPage(UiContext& engine, const std::string& page, bool first, GlyphCells& cells) {
  TextState& text = engine.text;
  GraphicsState& graphics = engine.graphics;
  const TextRect area = ClampedWindowRect(text.windowRect);
  if (first) engine.EraseTextWindow();
  text.composeTextWindow = false;
  engine.RecomposeScreen();
  ShadeTextWindow(engine, area.left, area.top, area.right, area.bottom, graphics.compose);
  DirtyRect shown;
  shown.left = area.left;
  shown.top = area.top;
  shown.right = area.right + 2;
  shown.bottom = area.bottom + 2;
  if (first) ShowWithEffect(engine, text.windowEffect.type, text.windowEffect.duration, text.windowEffect.mask, &shown);
  else ShowWithEffect(engine, 1, 0, {}, &shown);

  const GlyphFont font{text.fontFace, text.glyphWidth, text.glyphHeight, text.bold != 0};
  text.canvas.SelectFont(font);
  if (font.face != cells.font.face || font.glyphWidth != cells.font.glyphWidth ||
      font.glyphHeight != cells.font.glyphHeight || font.bold != cells.font.bold) {
    cells = GlyphCells{font, {}};
  }
  const TextColour colour = TextColour::FromRgb(engine.ui.lookback.colour);
  const Shadow shadow = text.shadow ? Shadow::On : Shadow::Off;
  // There is no typing delay: the page goes to the window at once when it is drawn.
  int x = text.textX, y = text.textY, right = x, bottom = y;
  for (size_t at = 0; at < page.size();) {
    const uint8_t byte = static_cast<uint8_t>(page[at]);
    if (byte == History::kLineEnd) {
      x = text.textX;
      y += text.pitchY;
      ++at;
      continue;
    }
    if (at + 1 >= page.size()) break;
    const uint8_t second = static_cast<uint8_t>(page[at + 1]);
    auto [cell, added] = cells.cells.try_emplace(static_cast<uint16_t>(byte << 8 | second));
    if (added) {
      text.canvas.Rasterise(byte, second);
      text.canvas.Filter(cell->second);
    }
    BlendGlyphCell(cell->second, text.glyphWidth, text.glyphHeight, x, y, colour, shadow, nullptr, graphics.display);
    right = std::max(right, x + text.glyphWidth + 1);
    bottom = std::max(bottom, y + text.glyphHeight);
    x += text.pitchX;
    at += 2;
  }
  CopyToWindow(engine, graphics.display, ScreenArea{text.textX, text.textY, right - text.textX, bottom - text.textY});
}

}  // namespace

std::string CopyHistoryPage(const uint8_t* history, int page) {
  size_t at = 0;
  for (int marks = 0; marks < page && history[at] != 0;) {
    if (IsLeadByte(history[at]) && history[at + 1] != 0) {
      at += 2;
      continue;
    }
    if (history[at] == History::kPageMark) ++marks;
    ++at;
  }
  std::string copy;
  while (history[at] != 0 && history[at] != History::kPageMark) {
    if (IsLeadByte(history[at]) && history[at + 1] != 0) {
      copy.push_back(static_cast<char>(history[at]));
      copy.push_back(static_cast<char>(history[at + 1]));
      at += 2;
    } else {
      copy.push_back(static_cast<char>(history[at++]));
    }
  }
  return copy;
}

int LookbackViewer(UiContext& engine) {
  TextState& text = engine.text;
  InputState& input = engine.input;
  History& history = text.history;
  const int pages = history.PageCount();
  if (pages == 0) {
    const std::string& refused = engine.ui.menuVoices[static_cast<int>(MenuVoice::Refused)];
    if (!refused.empty()) PlayWave(engine, refused, Looping::Once);
    return 0;
  }
  const uint8_t* bytes = history.Terminated();
  int page = pages - 1;
  int zone = 0;
  bool first = true;
  Buttons buttons(engine);
  GlyphCells cells;
  input.clickFlag = false;
  input.rightClickFlag = false;
  engine.platform.PlayerWaitStarted();
  for (;;) {
    ShowPage(engine, CopyHistoryPage(bytes, page), first, cells);
    first = false;
    buttons.SaveUnder();
    if ((page == pages - 1 && zone == 1) || (page == 0 && zone == -1)) zone = 0;
    buttons.Draw(page, pages, zone);
    for (;;) {
      if (!engine.PumpOneMessage()) {
        engine.platform.Idle(20, WaitKind::Player);
        continue;
      }
      if (input.lastMessage == static_cast<int>(MessageKind::MouseMove)) {
        const int top = text.windowRect.top, bottom = text.windowRect.bottom, y = input.mouseY;
        int newZone = 0;
        if (page > 0 && y < (bottom + 2 * top) / 3) newZone = -1;
        if (page < pages - 1 && y > (top + 2 * bottom) / 3) newZone = 1;
        if (y < top || y > bottom) newZone = 0;
        if (newZone != zone) {
          zone = newZone;
          buttons.Draw(page, pages, zone);
        }
      }
      if (input.clickFlag) {
        input.clickFlag = false;
        if (zone != 0) break;
      }
      if (input.rightClickFlag) {
        input.rightClickFlag = false;
        engine.EraseTextWindow();
        text.composeTextWindow = true;
        engine.RecomposeScreen();
        ShowWithEffect(engine, text.windowEffect.type, text.windowEffect.duration, text.windowEffect.mask, nullptr);
        return 1;
      }
    }
    page += zone;
    const std::string& turn = engine.ui.lookback.pageTurnVoice;
    if (!turn.empty()) PlayWave(engine, turn, Looping::Once);
  }
}

void LoadDefaultLookbackButtons(UiContext& engine) {
  LookbackSettings& lookback = engine.ui.lookback;
  if (lookback.buttonsGiven) return;
  const char* names[] = {"uoncur.bmp", "uoffcur.bmp", "doncur.bmp", "doffcur.bmp"};
  for (int i = 0; i < 4; ++i) LoadDefaultPicture(engine, lookback.buttons[i], names[i]);
}

}  // namespace velmio
