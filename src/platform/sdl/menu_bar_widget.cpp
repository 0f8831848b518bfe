#include "platform/sdl/menu_bar_widget.h"

#include <algorithm>

#include "files/fonts/glyph_rasteriser.h"

namespace velmio {
namespace {

using widget_colour::kText;
constexpr uint32_t kBarColour = widget_colour::kFace;
constexpr int kItemPadding = 8;       // left and right of a top-level text
constexpr int kCheckColumn = 22;      // room for the check mark left of a popup entry
constexpr int kPopupRightPadding = 24;

}  // namespace

MenuBarWidget::MenuBarWidget(int width, int height)
    : width_(width), height_(height), rasteriser_(std::make_unique<fonts::GlyphRasteriser>()) {
  rasteriser_->SelectFont(fonts::FontRequest{kWidgetFontFace, kWidgetFontHeight, 0, fonts::kWeightDefault});
}

MenuBarWidget::~MenuBarWidget() = default;

int MenuBarWidget::TextWidth(const std::string& text) { return rasteriser_->Measure(text, fonts::TextEncoding::Utf8); }

void MenuBarWidget::SetView(const MenuBarView& view) {
  view_ = view;
  openItem_ = hoverItem_ = hoverEntry_ = pressedItem_ = -1;
  pressOpened_ = false;
  Layout();
  Changed();
}

void MenuBarWidget::SetPopupAreaHeight(int height) {
  ClosePopup();
  height_ = height;
}

void MenuBarWidget::Layout() {
  itemRects_.clear();
  int x = 0;
  for (const MenuTopItemView& item : view_.items) {
    int width = TextWidth(item.text) + 2 * kItemPadding;
    itemRects_.push_back({x, 0, width, kBarHeight});
    x += width;
  }
}

MenuBarWidget::PopupLayout MenuBarWidget::LayoutPopup(int item) {
  PopupLayout layout;
  const std::vector<MenuItemView>& entries = view_.items[item].popup;
  if (entries.empty()) return layout;
  int textWidth = 0;
  for (const MenuItemView& entry : entries)
    textWidth = std::max(textWidth, TextWidth(entry.text));
  int columnWidth = kCheckColumn + textWidth + kPopupRightPadding;
  // A list longer than the screen is high continues in further columns.
  int rowsPerColumn = std::max(1, (height_ - kBarHeight - 2) / kItemHeight);
  int rows = std::min<int>(static_cast<int>(entries.size()), rowsPerColumn);
  int columns = (static_cast<int>(entries.size()) + rowsPerColumn - 1) / rowsPerColumn;
  int width = columns * columnWidth + 2, height = rows * kItemHeight + 2;
  int left = std::clamp(itemRects_[item].left, 0, std::max(0, width_ - width));
  layout.rect = {left, kBarHeight, width, height};
  for (size_t i = 0; i < entries.size(); ++i) {
    int column = static_cast<int>(i) / rowsPerColumn, row = static_cast<int>(i) % rowsPerColumn;
    layout.items.push_back({left + 1 + column * columnWidth, kBarHeight + 1 + row * kItemHeight, columnWidth, kItemHeight});
  }
  return layout;
}

void MenuBarWidget::OpenPopup(int item) {
  openItem_ = item;
  popup_ = LayoutPopup(item);
  hoverEntry_ = -1;
  Changed();
}

void MenuBarWidget::ClosePopup() {
  if (openItem_ < 0) return;
  openItem_ = hoverEntry_ = -1;
  popup_ = {};
  Changed();
}

int MenuBarWidget::TopItemAt(int x, int y) const {
  for (size_t i = 0; i < itemRects_.size(); ++i)
    if (itemRects_[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

int MenuBarWidget::PopupItemAt(int x, int y) const {
  for (size_t i = 0; i < popup_.items.size(); ++i)
    if (popup_.items[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

bool MenuBarWidget::Covers(int x, int y) const {
  return (y >= 0 && y < kBarHeight && x >= 0 && x < width_) || (PopupOpen() && popup_.rect.Contains(x, y));
}

MenuPointerResult MenuBarWidget::PointerMoved(int x, int y) {
  int item = TopItemAt(x, y);
  int entry = PopupOpen() ? PopupItemAt(x, y) : -1;
  if (item != hoverItem_ || entry != hoverEntry_) {
    hoverItem_ = item;
    hoverEntry_ = entry;
    Changed();
  }
  // With a popup open, sliding along the bar opens the popup under the pointer.
  if (PopupOpen() && item >= 0 && item != openItem_ && !view_.items[item].popup.empty()) OpenPopup(item);
  return {PopupOpen() || Covers(x, y), std::nullopt};
}

MenuPointerResult MenuBarWidget::PointerPressed(int x, int y) {
  pressOpened_ = false;
  pressedItem_ = -1;
  int item = TopItemAt(x, y);
  if (item >= 0) {
    if (view_.items[item].popup.empty()) {
      ClosePopup();
      pressedItem_ = item;
    } else if (openItem_ == item) {
      ClosePopup();
    } else {
      OpenPopup(item);
      pressOpened_ = true;
    }
    return {true, std::nullopt};
  }
  if (PopupOpen()) {
    // A press outside the popup only closes it, as menus do.
    if (!popup_.rect.Contains(x, y)) ClosePopup();
    return {true, std::nullopt};
  }
  return {Covers(x, y), std::nullopt};
}

MenuPointerResult MenuBarWidget::PointerReleased(int x, int y) {
  MenuPointerResult result{PopupOpen() || Covers(x, y) || pressedItem_ >= 0, std::nullopt};
  int item = TopItemAt(x, y);
  if (pressedItem_ >= 0) {
    if (item == pressedItem_) result.chosen = view_.items[item].id;
    pressedItem_ = -1;
    return result;
  }
  if (PopupOpen()) {
    int entry = PopupItemAt(x, y);
    if (entry >= 0) {
      result.chosen = view_.items[openItem_].popup[entry].id;
      ClosePopup();
    } else if (item < 0 && !pressOpened_ && !popup_.rect.Contains(x, y)) {
      ClosePopup();
    }
  }
  pressOpened_ = false;
  return result;
}

std::vector<WidgetRect> MenuBarWidget::ItemRects() const { return itemRects_; }
std::vector<WidgetRect> MenuBarWidget::PopupItemRects() const { return popup_.items; }
WidgetRect MenuBarWidget::PopupRect() const { return popup_.rect; }

void MenuBarWidget::PaintBar(uint32_t* pixels, int stride) {
  PixelCanvas canvas{pixels, stride, width_, kBarHeight};
  FillRect(canvas, {0, 0, width_, kBarHeight}, kBarColour);
  int textTop = (kBarHeight - rasteriser_->CellHeight()) / 2;
  for (size_t i = 0; i < itemRects_.size(); ++i) {
    WidgetRect rect = itemRects_[i];
    bool lit = static_cast<int>(i) == openItem_ || static_cast<int>(i) == hoverItem_;
    uint32_t background = lit ? widget_colour::kHighlight : kBarColour;
    if (lit) {
      FillRect(canvas, rect, background);
      FrameRect(canvas, rect, widget_colour::kHighlightEdge);
    }
    PaintText(canvas, *rasteriser_, coverage_, rect.left + kItemPadding, textTop, view_.items[i].text, kText,
              background);
  }
}

void MenuBarWidget::PaintPopup(uint32_t* pixels, int stride) {
  if (!PopupOpen()) return;
  WidgetRect area = popup_.rect;
  PixelCanvas canvas{pixels, stride, area.width, area.height};
  FillRect(canvas, {0, 0, area.width, area.height}, kBarColour);
  FrameRect(canvas, {0, 0, area.width, area.height}, widget_colour::kEdge);
  const std::vector<MenuItemView>& entries = view_.items[openItem_].popup;
  int textTop = (kItemHeight - rasteriser_->CellHeight()) / 2;
  for (size_t i = 0; i < entries.size(); ++i) {
    WidgetRect rect = popup_.items[i];
    rect.left -= area.left;
    rect.top -= area.top;
    uint32_t background = static_cast<int>(i) == hoverEntry_ ? widget_colour::kHighlight : kBarColour;
    if (background != kBarColour) FillRect(canvas, rect, background);
    if (entries[i].checked) PaintCheckMark(canvas, rect.left + 7, rect.top + 7, kText);
    PaintText(canvas, *rasteriser_, coverage_, rect.left + kCheckColumn, rect.top + textTop, entries[i].text, kText,
              background);
  }
}

}  // namespace velmio
