// The message box drawn in the window: layout, answers by mouse and by keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sdl/message_box_widget.h"

namespace velmio {
namespace {

WidgetRect Centre(const WidgetRect& rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2, 0, 0}; }

// A short question and a text far too long for the area: centred inside it, the buttons inside
// the box, the text and labels drawn, and painting writes exactly the box (a guard row past it
// stays untouched).
TEST(MessageBoxWidget, CentredInsideTheAreaAndPaintedExactlyOverItsRect) {
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "とても長い行がいくつも続きます。とても長い行がいくつも続きます。\n";
  for (const std::string& text : {std::string("終了しますか？\n二行目"), longText}) {
    SCOPED_TRACE(text.size());
    MessageBoxWidget box(640, 480, "終了確認", text, MessageBoxStyle::YesNo);
    WidgetRect rect = box.Rect();
    EXPECT_NEAR(rect.left * 2 + rect.width, 640, 1);
    EXPECT_GE(rect.left, 0);
    EXPECT_GE(rect.top, 0);
    EXPECT_LE(rect.top + rect.height, 480);
    EXPECT_GE(rect.height, MessageBoxWidget::kTitleHeight + 2 * MessageBoxWidget::kLineHeight +
                               MessageBoxWidget::kButtonHeight);
    std::vector<WidgetRect> buttons = box.ButtonRects();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_LT(buttons[0].left, buttons[1].left);
    for (const WidgetRect& button : buttons) {
      EXPECT_TRUE(rect.Contains(button.left, button.top));
      EXPECT_TRUE(rect.Contains(button.left + button.width - 1, button.top + button.height - 1));
    }
    const size_t area = static_cast<size_t>(rect.width) * rect.height;
    std::vector<uint32_t> pixels(area + rect.width, 0x12345678);
    box.Paint(pixels.data(), rect.width);
    EXPECT_NE(pixels[0], 0x12345678u);
    EXPECT_NE(pixels[area - 1], 0x12345678u);
    auto dark = [](uint32_t pixel) { return (pixel & 0xFF) < 80; };
    EXPECT_GT(std::count_if(pixels.begin(), pixels.begin() + area, dark), 50) << "the text and the labels are drawn";
    EXPECT_EQ(std::count(pixels.begin() + area, pixels.end(), 0x12345678u), rect.width);
  }
}

TEST(MessageBoxWidget, AButtonAnswersWhenPressedAndReleasedOnIt) {
  MessageBoxWidget box(640, 480, "t", "text", MessageBoxStyle::YesNo);
  WidgetRect yes = Centre(box.ButtonRects()[0]), no = Centre(box.ButtonRects()[1]);
  box.PointerPressed(yes.left, yes.top);
  EXPECT_FALSE(box.PointerReleased(no.left, no.top)) << "released elsewhere: no answer";
  box.PointerPressed(no.left, no.top);
  EXPECT_EQ(box.PointerReleased(no.left, no.top), MessageBoxAnswer::No);
  box.PointerPressed(yes.left, yes.top);
  EXPECT_EQ(box.PointerReleased(yes.left, yes.top), MessageBoxAnswer::Yes);
  EXPECT_FALSE(box.PointerReleased(yes.left, yes.top)) << "a release without a press";
}

TEST(MessageBoxWidget, KeysMoveTheFocusEnterChoosesEscapeDeclines) {
  MessageBoxWidget question(640, 480, "t", "text", MessageBoxStyle::YesNo);
  EXPECT_EQ(question.KeyPressed(MessageBoxKey::Enter), MessageBoxAnswer::Yes);
  EXPECT_FALSE(question.KeyPressed(MessageBoxKey::Right));
  EXPECT_EQ(question.KeyPressed(MessageBoxKey::Enter), MessageBoxAnswer::No);
  EXPECT_FALSE(question.KeyPressed(MessageBoxKey::Tab));
  EXPECT_EQ(question.KeyPressed(MessageBoxKey::Enter), MessageBoxAnswer::Yes);
  EXPECT_EQ(question.KeyPressed(MessageBoxKey::Escape), MessageBoxAnswer::No);
  EXPECT_EQ(question.DismissAnswer(), MessageBoxAnswer::No);

  MessageBoxWidget notice(640, 480, "t", "text", MessageBoxStyle::Ok);
  EXPECT_EQ(notice.ButtonRects().size(), 1u);
  EXPECT_EQ(notice.KeyPressed(MessageBoxKey::Escape), MessageBoxAnswer::Ok);
  EXPECT_EQ(notice.KeyPressed(MessageBoxKey::Enter), MessageBoxAnswer::Ok);
}

}  // namespace
}  // namespace velmio
