#pragma once
#include <SDL.h>

#include <string_view>

#include "platform/platform.h"

namespace velmio {

// A modal message box of the desktop; texts are Shift JIS. `owner` may be null (no window
// shown yet). False when the desktop cannot show one (no message box service, or no fonts for
// it, as on a bare X server).
bool ShowSdlMessageBox(SDL_Window* owner, std::string_view text, std::string_view title, MessageBoxStyle style,
                       MessageBoxAnswer& answer);

}  // namespace velmio
