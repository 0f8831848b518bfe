#pragma once
// The right-click menu and the items `systemcall` runs directly.
#include <cstdint>

namespace velmio {

class UiContext;
class TextContext;

constexpr int32_t kRightClick = -1;

// `kind` is kRightClick, or a MenuItemKind for `systemcall`. The outcome shows in the script's
// resetRequest and loadRequest, which the caller checks.
void SystemMenu(UiContext& engine, int32_t kind);

// The hook the waits call on a right click.
void RightClickMenuHook(TextContext& engine);

// The wheel turned up: the lookback viewer, when a right click could reach it (the lookback
// mode, or a menu with a lookback item) and right clicks are enabled.
void WheelLookback(UiContext& engine);
void WheelLookbackHook(TextContext& engine);

// Takes the text window off the screen until the next click; nothing when it is not shown.
void HideWindowUntilClick(UiContext& engine);

}  // namespace velmio
