#pragma once
// The menu bar drawn by the program itself above (or, in full screen, over) the picture: layout,
// pointer handling and painting into 32-bit pixels. It knows nothing of windows; the backend
// feeds it pointer positions in its own coordinates (the bar's top-left corner is 0, 0, popups
// open below it) and shows the pixels it paints.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/menu_view.h"
#include "platform/sdl/widget_painting.h"

namespace velmio {

// What a pointer event meant to the menu.
struct MenuPointerResult {
  bool consumed = false;            // the menu took the event; the picture must not see it
  std::optional<uint32_t> chosen;   // the id of the item the player chose
};

class MenuBarWidget {
 public:
  static constexpr int kBarHeight = 20;
  static constexpr int kItemHeight = 20;

  // `width` of the bar; `height` of the area popups may cover, bar included.
  MenuBarWidget(int width, int height);
  ~MenuBarWidget();
  MenuBarWidget(const MenuBarWidget&) = delete;
  MenuBarWidget& operator=(const MenuBarWidget&) = delete;

  void SetView(const MenuBarView& view);
  // The area popups may cover changes (window and full screen differ); closes any popup.
  void SetPopupAreaHeight(int height);
  const MenuBarView& View() const { return view_; }

  bool PopupOpen() const { return openItem_ >= 0; }
  void ClosePopup();
  // Over the bar or the open popup.
  bool Covers(int x, int y) const;

  MenuPointerResult PointerMoved(int x, int y);
  MenuPointerResult PointerPressed(int x, int y);
  MenuPointerResult PointerReleased(int x, int y);

  // Bumped whenever what the widget shows changes.
  uint64_t Version() const { return version_; }

  // Paints the bar into `width` x kBarHeight pixels (0xAARRGGBB, rows `stride` pixels apart).
  void PaintBar(uint32_t* pixels, int stride);
  // Where the open popup is (empty when none) and its painting, `stride` pixels per row.
  WidgetRect PopupRect() const;
  void PaintPopup(uint32_t* pixels, int stride);

  // Layout, for tests: the bar rectangle of each top-level item, and the popup rectangle of
  // each entry of the open popup.
  std::vector<WidgetRect> ItemRects() const;
  std::vector<WidgetRect> PopupItemRects() const;

 private:
  struct PopupLayout {
    WidgetRect rect;
    std::vector<WidgetRect> items;
  };
  void Layout();
  PopupLayout LayoutPopup(int item);
  int TopItemAt(int x, int y) const;
  int PopupItemAt(int x, int y) const;
  void OpenPopup(int item);
  void Changed() { ++version_; }
  int TextWidth(const std::string& text);

  int width_;
  int height_;
  MenuBarView view_;
  std::vector<WidgetRect> itemRects_;
  PopupLayout popup_;
  int openItem_ = -1;
  int hoverItem_ = -1;     // top-level item under the pointer
  int hoverEntry_ = -1;    // popup entry under the pointer
  int pressedItem_ = -1;   // command item pressed and not yet released
  bool pressOpened_ = false;  // the press that opened the popup; its release chooses nothing
  uint64_t version_ = 1;
  std::unique_ptr<fonts::GlyphRasteriser> rasteriser_;
  std::vector<uint8_t> coverage_;
};

}  // namespace velmio
