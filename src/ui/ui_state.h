#pragma once
// The state of the pages the reader talks to: choices, lookback, the right-click menu, dialogs.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/surface.h"

namespace velmio {

constexpr int kMaxChoices = 50;
constexpr int kMaxMenuItems = 50;

// What a right-click menu item does, numbered as `systemcall` and `rmenu` name them.
enum class MenuItemKind : int32_t { Lookback = 0, HideWindow = 1, Load = 2, Save = 3, Reset = 4, Skip = 5 };

// What a right click during a wait does.
enum class RightClickMode : uint8_t { Hide, Menu, Off, Lookback };

struct MenuItem {
  std::string text;  // Shift JIS
  MenuItemKind kind = MenuItemKind::Lookback;
};

// The menu voices, in the order `menuselectvoice` names them.
enum class MenuVoice : uint8_t { Opened, Cancelled, Moved, Taken, Refused, Yes, No };

// The pages of the lookback viewer, set once in the definition block.
struct LookbackSettings {
  uint32_t colour = 0xFFFF40;
  std::array<PictureLayer, 4> buttons;  // up on, up off, down on, down off
  bool buttonsGiven = false;  // `lookbackbutton` was used; otherwise the default files are loaded
  std::string pageTurnVoice;
};

struct UiState {
  // --- Choices ---
  uint32_t choiceHighlight = 0xFFFFFF;
  uint32_t choiceNormal = 0xAAAAAA;
  std::string openingVoice;
  std::string hoverVoice;
  std::string decisionVoice;

  // --- Right-click menu ---
  RightClickMode rightClickMode = RightClickMode::Hide;
  std::vector<MenuItem> menuItems;
  uint32_t menuHighlight = 0xFFFFFF;
  uint32_t menuNormal = 0xAAAAAA;
  uint32_t menuMissingSlot = 0x555599;
  std::array<std::string, 7> menuVoices;
  std::array<std::string, 2> clickVoices;  // after a normal wait, after a page wait

  LookbackSettings lookback;
};

}  // namespace velmio
