#pragma once
// The yes/no page of the menu's save, load and reset items, and the voices the menu pages play.
#include <string_view>

#include "ui/ui_state.h"

namespace velmio {

class UiContext;

// Plays the menu voice `voice` when the scenario gave one (`menuselectvoice`).
void PlayMenuVoice(UiContext& engine, MenuVoice voice);

// Shows `message` (Shift JIS) over the shaded screen with "はい" and "いいえ"; returns 1 for yes,
// 0 for no, -1 when cancelled with the right button. Expects menuMode set.
int ConfirmYesNo(UiContext& engine, std::string_view message);

}  // namespace velmio
