#pragma once
// The yes/no page of the menu's save, load and reset items.
#include <string_view>

namespace velmio {

class UiContext;

// Shows `message` (Shift JIS) over the shaded screen with "はい" and "いいえ"; returns 1 for yes,
// 0 for no, -1 when cancelled with the right button. Expects menuMode set.
int ConfirmYesNo(UiContext& engine, std::string_view message);

}  // namespace velmio
