#pragma once
// The menu bar of the main window: its top-level items (some of which the scenario may remove
// with `killmenu`), the font popup filled from the installed fonts, and the check marks. The
// backend only draws what BuildMenuView gives it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/menu_view.h"

namespace velmio {

class ShellContext;

enum class TopMenuItem : uint8_t { Quit, Screen, Font, SkipToChoice, DisplayMode, Version };

constexpr size_t kMaxFontNames = 256;       // slots of the font table; slot 0 stays unused
constexpr size_t kMaxFontNameLength = 99;   // names are 100-byte fields with their NUL

class MenuBar {
 public:
  MenuBar() { RestoreTopLevel(); }

  // All six top-level items in their original order.
  void RestoreTopLevel();
  // Removes the top-level item at `position` (0 is the first); later items move down. False,
  // changing nothing, when there is no item there.
  bool Remove(int position);
  const std::vector<TopMenuItem>& TopLevel() const { return topLevel_; }

  // Fills the font popup with `sjisNames` (engine text) in the given order: the n-th name gets
  // menu id n, counted from 1. Names beyond the table's 255 usable slots are left out; longer
  // names are cut to the table's field size.
  void SetFonts(const std::vector<std::string>& sjisNames);
  size_t FontCount() const { return fontNames_.size(); }
  // The face behind a font menu id, or null when the id names no font.
  const std::string* FontName(uint32_t id) const;
  // The menu id of the first font of this name, in menu order.
  std::optional<uint32_t> FindFont(std::string_view sjisName) const;

  uint32_t checkedFontItem = 40004;  // the "デフォルト" item of the font popup

 private:
  std::vector<TopMenuItem> topLevel_;
  std::vector<std::string> fontNames_;  // fontNames_[i] has menu id i + 1
};

// The menu bar as the player sees it now, check marks taken from the engine's state.
MenuBarView BuildMenuView(const ShellContext& engine);
// Hands the current menu bar to the platform after a change.
void RefreshMenuBar(ShellContext& engine);

}  // namespace velmio
