// The drawn menu bar: layout after removed items, opening popups, choosing, and painting.
#include <gtest/gtest.h>

#include "platform/sdl/menu_bar_widget.h"

namespace velmio {
namespace {

MenuBarView SampleMenu() {
  MenuBarView view;
  view.items.push_back({"終了", 40001, {}});
  view.items.push_back({"画面", 0, {{"フルスクリーン", 40002, false}, {"ウィンドウ", 40003, true}}});
  view.items.push_back({"バージョン情報", 40005, {}});
  return view;
}

WidgetRect Centre(const WidgetRect& rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2, 0, 0}; }

TEST(MenuBarWidget, ItemsSitSideBySideAndCloseUpWhenOneIsRemoved) {
  MenuBarWidget widget(640, 500);
  MenuBarView view = SampleMenu();
  widget.SetView(view);
  std::vector<WidgetRect> rects = widget.ItemRects();
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0].left, 0);
  for (size_t i = 1; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].left, rects[i - 1].left + rects[i - 1].width);
    EXPECT_GT(rects[i].width, 20);
  }
  view.items.erase(view.items.begin());
  widget.SetView(view);
  EXPECT_EQ(widget.ItemRects()[0].left, 0);
  EXPECT_EQ(widget.ItemRects()[0].width, rects[1].width);
}

TEST(MenuBarWidget, CommandItemsChooseOnReleaseOverThemselves) {
  MenuBarWidget widget(640, 500);
  widget.SetView(SampleMenu());
  WidgetRect quit = Centre(widget.ItemRects()[0]), version = Centre(widget.ItemRects()[2]);
  EXPECT_TRUE(widget.PointerPressed(quit.left, quit.top).consumed);
  MenuPointerResult result = widget.PointerReleased(quit.left, quit.top);
  ASSERT_TRUE(result.chosen);
  EXPECT_EQ(*result.chosen, 40001u);
  // Pressed on one item, released on another: nothing.
  widget.PointerPressed(quit.left, quit.top);
  EXPECT_FALSE(widget.PointerReleased(version.left, version.top).chosen);
  // The picture below the bar is not the menu's.
  EXPECT_FALSE(widget.PointerPressed(100, 200).consumed);
  EXPECT_FALSE(widget.Covers(100, 200));
}

TEST(MenuBarWidget, PopupOpensOnPressAndChoosesOnRelease) {
  MenuBarWidget widget(640, 500);
  widget.SetView(SampleMenu());
  WidgetRect screen = Centre(widget.ItemRects()[1]);
  widget.PointerPressed(screen.left, screen.top);
  EXPECT_FALSE(widget.PointerReleased(screen.left, screen.top).chosen);
  ASSERT_TRUE(widget.PopupOpen());
  std::vector<WidgetRect> entries = widget.PopupItemRects();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_GE(entries[0].top, MenuBarWidget::kBarHeight);
  WidgetRect full = Centre(entries[0]);
  EXPECT_TRUE(widget.Covers(full.left, full.top));
  EXPECT_TRUE(widget.PointerPressed(full.left, full.top).consumed);
  MenuPointerResult result = widget.PointerReleased(full.left, full.top);
  ASSERT_TRUE(result.chosen);
  EXPECT_EQ(*result.chosen, 40002u);
  EXPECT_FALSE(widget.PopupOpen());

  // A press outside closes the popup and is not the picture's either.
  widget.PointerPressed(screen.left, screen.top);
  widget.PointerReleased(screen.left, screen.top);
  ASSERT_TRUE(widget.PopupOpen());
  EXPECT_TRUE(widget.PointerPressed(600, 400).consumed);
  EXPECT_FALSE(widget.PointerReleased(600, 400).chosen);
  EXPECT_FALSE(widget.PopupOpen());
}

TEST(MenuBarWidget, LongPopupsContinueInColumnsWithinTheArea) {
  MenuBarWidget widget(640, 480);
  MenuBarView view;
  view.items.push_back({"フォント", 0, {}});
  for (uint32_t i = 1; i <= 60; ++i) view.items[0].popup.push_back({"Font " + std::to_string(i), i, i == 3});
  widget.SetView(view);
  WidgetRect fonts = Centre(widget.ItemRects()[0]);
  widget.PointerPressed(fonts.left, fonts.top);
  WidgetRect popup = widget.PopupRect();
  EXPECT_LE(popup.top + popup.height, 480);
  EXPECT_LE(popup.left + popup.width, 640);
  std::vector<WidgetRect> entries = widget.PopupItemRects();
  ASSERT_EQ(entries.size(), 60u);
  EXPECT_GT(entries[59].left, entries[0].left);

  // Painting stays inside the buffers it is given; the check mark and texts leave dark pixels.
  std::vector<uint32_t> bar(640 * MenuBarWidget::kBarHeight, 0), pixels(popup.width * popup.height, 0);
  widget.PaintBar(bar.data(), 640);
  widget.PaintPopup(pixels.data(), popup.width);
  int dark = 0;
  for (uint32_t pixel : pixels) dark += (pixel & 0xFF) < 100;
  EXPECT_GT(dark, 100);
  EXPECT_EQ(bar[0] >> 24, 0xFFu);
}

}  // namespace
}  // namespace velmio
