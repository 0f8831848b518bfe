#pragma once
// The menu bar as the backend draws it. The engine owns the menu (items, ids, check marks,
// removed items, the font list) and hands the backend this finished picture of it whenever it
// changes; the backend only draws it and reports the id of the item the player chose.
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

struct MenuItemView {
  std::string text;  // UTF-8
  uint32_t id = 0;
  bool checked = false;
};

// A top-level item: a command when `popup` is empty (chosen directly), else a popup menu.
struct MenuTopItemView {
  std::string text;  // UTF-8
  uint32_t id = 0;   // the command of a command item; unused for popups
  std::vector<MenuItemView> popup;
};

struct MenuBarView {
  std::vector<MenuTopItemView> items;
};

}  // namespace velmio
