#include "platform/sdl/input_dialog_widget.h"

#include <algorithm>
#include <cmath>

#include "files/fonts/glyph_rasteriser.h"

namespace velmio {
namespace {

constexpr uint32_t kEditBackground = 0xFFFFFFFF;
constexpr uint32_t kButtonFace = 0xFFE1E1E1;
constexpr int kTextPadding = 4;
constexpr char kButtonLabel[] = "決定";

// The dialog's own units at its 9-point font: one and a half pixels each way.
int Units(int units) { return units * 3 / 2; }
// The scenario's sizes are points, at 96 pixels to the inch.
int Points(int points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

}  // namespace

InputDialogWidget::InputDialogWidget(int areaWidth, int areaHeight, const DialogLabels& labels)
    : labels_(labels), rasteriser_(std::make_unique<fonts::GlyphRasteriser>()) {
  rasteriser_->SelectFont(fonts::FontRequest{kWidgetFontFace, kWidgetFontHeight, 0, fonts::kWeightDefault});
  int width = Units(227), height = kTitleHeight + Units(53);
  prompt_ = {Units(7), kTitleHeight + Units(7), Units(213), Units(13)};
  edit_ = {Units(7), kTitleHeight + Units(26), Units(153), Units(17)};
  button_ = {Units(180), kTitleHeight + Units(25), Units(40), Units(20)};
  if (labels.dialogWidth > 0 && labels.dialogHeight > 0) {
    // The sizes the scenario gave: the edit box keeps its corner, the button moves onto its row
    // at the right edge, as tall as the edit box and one pixel wider than before.
    width = std::clamp(Points(labels.dialogWidth), 2 * edit_.left + 40, areaWidth);
    height = std::clamp(Points(labels.dialogHeight), edit_.top + 20, areaHeight);
    edit_.width = std::clamp(Points(labels.editWidth), 20, width - edit_.left);
    edit_.height = std::clamp(Points(labels.editHeight), 16, height - edit_.top);
    prompt_.width = width - 2 * prompt_.left;
    button_.top = edit_.top;
    button_.height = edit_.height;
    button_.width += 1;
    button_.left = std::max(0, width - button_.width - Points(20) - 1);
  }
  rect_ = {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

InputDialogWidget::~InputDialogWidget() = default;

WidgetRect InputDialogWidget::CaretRect() const {
  const std::string before = line_.Text().substr(0, line_.Caret()) + composition_;
  const int x = edit_.left + kTextPadding + rasteriser_->Measure(before, fonts::TextEncoding::Utf8) - scroll_;
  return Shifted({std::clamp(x, edit_.left + 1, edit_.left + edit_.width - 2), edit_.top + 2, 1, edit_.height - 4});
}

void InputDialogWidget::FollowCaret() {
  const std::string before = line_.Text().substr(0, line_.Caret()) + composition_;
  const int caret = rasteriser_->Measure(before, fonts::TextEncoding::Utf8);
  const int visible = std::max(1, edit_.width - 2 * kTextPadding);
  if (caret - scroll_ > visible) scroll_ = caret - visible;
  if (caret < scroll_) scroll_ = std::max(0, caret - visible / 3);
  ++version_;
}

void InputDialogWidget::Insert(const std::string& typed) {
  composition_.clear();
  line_.Insert(typed);
  FollowCaret();
}

void InputDialogWidget::Edit(EditKey key) {
  switch (key) {
    case EditKey::Backspace:
      line_.Backspace();
      break;
    case EditKey::Delete:
      line_.Delete();
      break;
    case EditKey::Left:
      line_.Left();
      break;
    case EditKey::Right:
      line_.Right();
      break;
    case EditKey::Home:
      line_.Home();
      break;
    case EditKey::End:
      line_.End();
      break;
  }
  FollowCaret();
}

void InputDialogWidget::Compose(const std::string& composition) {
  composition_ = composition;
  FollowCaret();
}

void InputDialogWidget::PointerPressed(int x, int y) {
  pressed_ = ButtonRect().Contains(x, y);
  ++version_;
}

bool InputDialogWidget::PointerReleased(int x, int y) {
  const bool answered = pressed_ && ButtonRect().Contains(x, y);
  pressed_ = false;
  ++version_;
  return answered;
}

void InputDialogWidget::Paint(uint32_t* pixels, int stride) {
  PixelCanvas canvas{pixels, stride, rect_.width, rect_.height};
  const int cell = rasteriser_->CellHeight();
  FillRect(canvas, {0, 0, rect_.width, rect_.height}, widget_colour::kFace);
  FrameRect(canvas, {0, 0, rect_.width, rect_.height}, widget_colour::kEdge);
  FillRect(canvas, {1, 1, rect_.width - 2, kTitleHeight - 1}, widget_colour::kTitleBackground);
  PaintText(canvas, *rasteriser_, scratch_, 8, (kTitleHeight - cell) / 2, labels_.caption, widget_colour::kTitleText, widget_colour::kTitleBackground);
  PixelCanvas prompt{pixels + prompt_.top * stride + prompt_.left, stride,
                     std::clamp(prompt_.width, 0, rect_.width - prompt_.left), prompt_.height};
  PaintText(prompt, *rasteriser_, scratch_, 0, (prompt_.height - cell) / 2, labels_.prompt, widget_colour::kText,
            widget_colour::kFace);

  FillRect(canvas, edit_, kEditBackground);
  FrameRect(canvas, edit_, widget_colour::kEdge);
  // The text is clipped to the inside of the box and scrolled so that the caret shows.
  const int innerWidth = std::clamp(edit_.width - 2, 0, rect_.width - edit_.left - 1);
  PixelCanvas inside{pixels + (edit_.top + 1) * stride + edit_.left + 1, stride, innerWidth,
                     std::clamp(edit_.height - 2, 0, rect_.height - edit_.top - 1)};
  const std::string& text = line_.Text();
  const std::string before = text.substr(0, line_.Caret());
  const int textTop = (inside.height - cell) / 2;
  const int x = kTextPadding - 1 - scroll_;
  PaintText(inside, *rasteriser_, scratch_, x, textTop, before + composition_ + text.substr(line_.Caret()),
            widget_colour::kText, kEditBackground);
  const int composedLeft = x + rasteriser_->Measure(before, fonts::TextEncoding::Utf8);
  const int caretX = x + rasteriser_->Measure(before + composition_, fonts::TextEncoding::Utf8);
  if (!composition_.empty()) FillRect(inside, {composedLeft, textTop + cell, caretX - composedLeft, 1}, widget_colour::kText);
  FillRect(inside, {caretX, textTop, 1, cell}, widget_colour::kText);

  const uint32_t face = pressed_ ? widget_colour::kHighlight : kButtonFace;
  FillRect(canvas, button_, face);
  FrameRect(canvas, button_, widget_colour::kFocus);
  const int labelWidth = rasteriser_->Measure(kButtonLabel, fonts::TextEncoding::Utf8);
  PaintText(canvas, *rasteriser_, scratch_, button_.left + (button_.width - labelWidth) / 2,
            button_.top + (button_.height - cell) / 2, kButtonLabel, widget_colour::kText, face);
}

}  // namespace velmio
