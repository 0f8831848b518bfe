#include "text/display_text.h"

#include "base/ascii.h"
#include "base/errors.h"
#include "graphics/animation.h"
#include "graphics/present.h"
#include "text/glyph_blend.h"
#include "text/line_breaking.h"
#include "text/text_context.h"
#include "text/text_window.h"
#include "text/waits.h"

namespace velmio {
namespace {

class Typist {
 public:
  Typist(TextContext& engine, std::string_view line) : engine_(engine), text_(engine.text), line_(line) {}

  void Run() {
    if (!ShowTextWindow(engine_)) return;
    SelectFont();
    PenFromCell();
    for (;;) {
      const unsigned char c = At(position_);
      if (c == 0) {
        if (text_.column != 0 && !afterPageWait_) NewLine(engine_);
        return;
      }
      if (c == '\t' || c == ' ') {
        ++position_;
      } else if (c == '!') {
        InlineCommand();
      } else if (c == '#') {
        SetColour();
      } else if (c == '/') {
        if (At(position_ + 1) != 0) RaiseError("エラー", "表示文中の、/の次は改行文字でなければなりません。");
        return;
      } else if (c == '@') {
        ++position_;
        if (!ClickWaitMark()) return;
      } else if (c == '\\') {
        ++position_;
        if (!PageWaitMark()) return;
      } else if (c == '_') {
        ++position_;
        noAutomaticWait_ = true;
      } else {
        if (!DrawCharacter()) return;
      }
    }
  }

 private:
  unsigned char At(size_t at) const { return at < line_.size() ? static_cast<unsigned char>(line_[at]) : 0; }

  void PenFromCell() {
    // 64 bits: `locate` and `setwindow` take any 32-bit value, and a pen far outside the window
    // must reach the off-window check rather than wrap back into it.
    x_ = int64_t{text_.textX} + int64_t{text_.pitchX} * text_.column;
    y_ = int64_t{text_.textY} + int64_t{text_.pitchY} * text_.line;
  }

  void SelectFont() {
    text_.canvas.SelectFont(GlyphFont{text_.fontFace, text_.glyphWidth, text_.glyphHeight, text_.bold != 0});
  }

  uint32_t ReadDigits() {
    uint32_t value = 0;
    while (At(position_) >= '0' && At(position_) <= '9') value = value * 10 + (At(position_++) - '0');
    return value;
  }

  void InlineCommand() {
    const unsigned char kind = At(position_ + 1);
    if (kind == 'w' || kind == 'd') {
      position_ += 2;
      TimedWait(engine_, ReadDigits(), kind == 'd' ? Clickable::Yes : Clickable::No);
    } else if (kind == 's' && At(position_ + 2) == 'd') {
      position_ += 3;
      text_.charWait = kCharWaitFromMenu;
    } else if (kind == 's') {
      position_ += 2;
      text_.charWait = static_cast<int32_t>(ReadDigits());
    } else {
      ++position_;  // a lone '!' is dropped
    }
  }

  // A `#` always starts a colour mark: one without six digits is the operand reader's error.
  void SetColour() {
    const uint32_t rgb = ColourFromDigits(line_.substr(position_ + 1, 6));
    position_ += 7;
    const TextColour colour = TextColour::FromRgb(rgb);
    text_.textRed = colour.red;
    text_.textGreen = colour.green;
    text_.textBlue = colour.blue;
  }

  // Both waits of the text: false when the right-click menu asked to abandon the line.
  bool WaitMark(CursorKind kind) {
    fastForward_ = false;
    text_.cursorKind = kind;
    const ClickCursor& cursor = text_.cursors[kind == CursorKind::Page ? 1 : 0];
    text_.cursorX = static_cast<int32_t>(cursor.relative ? x_ + cursor.offsetX : cursor.offsetX);
    text_.cursorY = static_cast<int32_t>(cursor.relative ? y_ + cursor.offsetY : cursor.offsetY);
    ClickWait(engine_);
    // Others may have drawn with their own fonts during the wait.
    SelectFont();
    Script& script = engine_.script;
    if (script.resetRequest || script.loadRequest) {
      script.loadRequest = false;
      return false;
    }
    return true;
  }

  // The click-wait mark is ignored while the display mode is "a page at a time", and both marks
  // while text is switched off.
  bool ClickWaitMark() {
    if (engine_.input.pageMode || text_.textVisible == 0) return true;
    return WaitMark(CursorKind::Normal);
  }

  bool PageWaitMark() {
    if (text_.textVisible == 0) return true;
    if (!WaitMark(CursorKind::Page)) return false;
    text_.history.AppendPageMark();
    x_ = text_.textX;
    y_ = text_.textY;
    ClearTextPage(engine_);
    SelectFont();  // a page starts in the default face
    afterPageWait_ = true;
    return true;
  }

  bool DrawCharacter() {
    if (text_.textVisible == 0) RaiseError("エラー！", "textmodeが非表示設定なのに文字を書こうとしました。");
    const TextRect& window = text_.windowRect;
    const int64_t right = int64_t{x_} + text_.glyphWidth;
    const int64_t bottom = int64_t{y_} + text_.glyphHeight;
    if (x_ < 0 || y_ < 0 || right >= kScreenWidth || bottom >= kScreenHeight || x_ < window.left ||
        y_ < window.top || right >= window.right || bottom >= window.bottom)
      RaiseError("エラー！", "文字がウィンドウからはみ出ました");
    const unsigned char first = At(position_);
    const unsigned char second = At(position_ + 1);
    if (second == 0) return false;  // the text ends inside the pair
    position_ += 2;
    text_.history.AppendCharacter(first, second);
    const uint32_t start = engine_.platform.Milliseconds();

    GlyphCanvas& canvas = text_.canvas;
    canvas.Rasterise(first, second);
    canvas.Filter(cell_);
    // Inside the screen now, so the pen fits an int.
    const int x = static_cast<int>(x_);
    const int y = static_cast<int>(y_);
    BlendGlyphCell(cell_, text_.glyphWidth, text_.glyphHeight, x, y,
                   TextColour{text_.textRed, text_.textGreen, text_.textBlue},
                   text_.shadow ? Shadow::On : Shadow::Off, &text_.layers, engine_.graphics.display);
    CopyToWindow(engine_, engine_.graphics.display, ScreenArea{x, y, text_.glyphWidth, text_.glyphHeight});

    TypingDelay(start);
    ++text_.column;
    x_ += text_.pitchX;

    const LookAhead ahead = ScanAhead(line_, position_);
    if (text_.column + TextBinding(ahead) >= text_.charsPerLine) {
      NewLine(engine_);
      PenFromCell();
    }
    return AutomaticClickWait(ahead, static_cast<CharacterCode>(first << 8 | second));
  }

  void TypingDelay(uint32_t start) {
    const int32_t setting = text_.charWait == kCharWaitFromMenu
                                ? text_.speedTable[static_cast<size_t>(engine_.input.speedIndex) % 3]
                                : text_.charWait;
    const uint32_t delay = static_cast<uint32_t>(setting);
    Platform& platform = engine_.platform;
    InputState& input = engine_.input;
    for (;;) {
      const uint32_t elapsed = platform.Milliseconds() - start;
      if (elapsed > delay || fastForward_ || input.Skipping()) return;
      // Only a release dispatched now counts: the one that ended an earlier wait must not
      // fast-forward the text that follows it.
      if (engine_.PumpOneMessage() && input.lastMessage == static_cast<int>(MessageKind::LeftButtonUp)) {
        fastForward_ = true;
        return;
      }
      AnimationTick(engine_);
      IdleUntilDue(engine_, delay - elapsed + 1, WaitKind::Timed);
    }
  }

  bool AutomaticClickWait(const LookAhead& ahead, CharacterCode drawn) {
    const bool preceded = noAutomaticWait_;
    noAutomaticWait_ = false;
    afterPageWait_ = false;
    if (text_.clickStr.empty()) return true;
    if (ahead.count > 0 && ContainsCharacter(text_.clickStr, ahead.characters[0])) return true;
    if (ahead.waitFollows || preceded || !ContainsCharacter(text_.clickStr, drawn)) return true;
    if (text_.line >= text_.lineCount - text_.clickStrMargin) return PageWaitMark();
    return ClickWaitMark();
  }

  TextContext& engine_;
  TextState& text_;
  std::string_view line_;
  size_t position_ = 0;
  int64_t x_ = 0;
  int64_t y_ = 0;
  bool fastForward_ = false;
  bool afterPageWait_ = false;
  bool noAutomaticWait_ = false;
  std::vector<uint8_t> cell_;
};

}  // namespace

void DisplayText(TextContext& engine, std::string_view line) { Typist(engine, line).Run(); }

}  // namespace velmio
