#include "platform/sdl/message_box_widget.h"

#include <algorithm>

#include "files/fonts/glyph_rasteriser.h"

namespace velmio {
namespace {

constexpr int kPadding = 16;
constexpr int kButtonGap = 10;
constexpr int kMinimumWidth = 220;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

}  // namespace

MessageBoxWidget::MessageBoxWidget(int areaWidth, int areaHeight, const std::string& title, const std::string& text,
                                   MessageBoxStyle style)
    : style_(style), title_(title), lines_(SplitLines(text)), rasteriser_(std::make_unique<fonts::GlyphRasteriser>()) {
  rasteriser_->SelectFont(fonts::FontRequest{kWidgetFontFace, kWidgetFontHeight, 0, fonts::kWeightDefault});
  labels_ = style == MessageBoxStyle::YesNo ? std::vector<std::string>{"はい", "いいえ"} : std::vector<std::string>{"OK"};
  int buttonsWidth = static_cast<int>(labels_.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
  int contentWidth = std::max(buttonsWidth, rasteriser_->Measure(title_, fonts::TextEncoding::Utf8));
  for (const std::string& line : lines_)
    contentWidth = std::max(contentWidth, rasteriser_->Measure(line, fonts::TextEncoding::Utf8));
  int width = std::clamp(contentWidth + 2 * kPadding, kMinimumWidth, std::max(kMinimumWidth, areaWidth - 8));
  int height = kTitleHeight + kPadding + static_cast<int>(lines_.size()) * kLineHeight + kPadding + kButtonHeight +
               kPadding;
  height = std::min(height, std::max(areaHeight - 8, kTitleHeight + kButtonHeight + 2 * kPadding));
  rect_ = {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
  int left = rect_.left + (width - buttonsWidth) / 2;
  int top = rect_.top + height - kPadding - kButtonHeight;
  for (size_t i = 0; i < labels_.size(); ++i)
    buttons_.push_back({left + static_cast<int>(i) * (kButtonWidth + kButtonGap), top, kButtonWidth, kButtonHeight});
}

MessageBoxWidget::~MessageBoxWidget() = default;

int MessageBoxWidget::ButtonAt(int x, int y) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

MessageBoxAnswer MessageBoxWidget::AnswerOf(int button) const {
  if (style_ == MessageBoxStyle::Ok) return MessageBoxAnswer::Ok;
  return button == 0 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
}

MessageBoxAnswer MessageBoxWidget::DismissAnswer() const {
  return style_ == MessageBoxStyle::YesNo ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
}

void MessageBoxWidget::PointerMoved(int x, int y) {
  int button = ButtonAt(x, y);
  if (button != hover_) {
    hover_ = button;
    ++version_;
  }
}

void MessageBoxWidget::PointerPressed(int x, int y) {
  pressed_ = ButtonAt(x, y);
  if (pressed_ >= 0) {
    focus_ = pressed_;
    ++version_;
  }
}

std::optional<MessageBoxAnswer> MessageBoxWidget::PointerReleased(int x, int y) {
  int pressed = pressed_;
  pressed_ = -1;
  if (pressed >= 0 && ButtonAt(x, y) == pressed) return AnswerOf(pressed);
  return std::nullopt;
}

std::optional<MessageBoxAnswer> MessageBoxWidget::KeyPressed(MessageBoxKey key) {
  int count = static_cast<int>(buttons_.size());
  switch (key) {
    case MessageBoxKey::Enter:
      return AnswerOf(focus_);
    case MessageBoxKey::Escape:
      return DismissAnswer();
    case MessageBoxKey::Left:
      focus_ = (focus_ + count - 1) % count;
      break;
    case MessageBoxKey::Right:
    case MessageBoxKey::Tab:
      focus_ = (focus_ + 1) % count;
      break;
  }
  ++version_;
  return std::nullopt;
}

void MessageBoxWidget::Paint(uint32_t* pixels, int stride) {
  PixelCanvas canvas{pixels, stride, rect_.width, rect_.height};
  FillRect(canvas, {0, 0, rect_.width, rect_.height}, widget_colour::kFace);
  FrameRect(canvas, {0, 0, rect_.width, rect_.height}, widget_colour::kEdge);
  FillRect(canvas, {1, 1, rect_.width - 2, kTitleHeight - 1}, widget_colour::kTitleBackground);
  int cell = rasteriser_->CellHeight();
  PaintText(canvas, *rasteriser_, scratch_, 8, (kTitleHeight - cell) / 2, title_, widget_colour::kTitleText, widget_colour::kTitleBackground);
  int top = kTitleHeight + kPadding;
  for (const std::string& line : lines_) {
    if (top + kLineHeight > rect_.height - kPadding - kButtonHeight) break;
    PaintText(canvas, *rasteriser_, scratch_, kPadding, top + (kLineHeight - cell) / 2, line, widget_colour::kText,
              widget_colour::kFace);
    top += kLineHeight;
  }
  for (size_t i = 0; i < buttons_.size(); ++i) {
    WidgetRect button = buttons_[i];
    button.left -= rect_.left;
    button.top -= rect_.top;
    bool lit = static_cast<int>(i) == hover_ || static_cast<int>(i) == pressed_;
    uint32_t background = lit ? widget_colour::kHighlight : 0xFFE1E1E1;
    FillRect(canvas, button, background);
    // The keyboard's button gets a frame two pixels wide, plain to see without a pointer.
    bool focused = static_cast<int>(i) == focus_;
    FrameRect(canvas, button, focused ? widget_colour::kFocus : widget_colour::kEdge);
    if (focused) FrameRect(canvas, {button.left + 1, button.top + 1, button.width - 2, button.height - 2}, widget_colour::kFocus);
    int labelWidth = rasteriser_->Measure(labels_[i], fonts::TextEncoding::Utf8);
    PaintText(canvas, *rasteriser_, scratch_, button.left + (button.width - labelWidth) / 2,
              button.top + (button.height - cell) / 2, labels_[i], widget_colour::kText, background);
  }
}

}  // namespace velmio
