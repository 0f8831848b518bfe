#pragma once
#include <SDL.h>

#include <string_view>

#include "platform/platform.h"

namespace velmio {

// A modal message box; texts are Shift JIS. `owner` may be null (no window shown yet). When
// the platform cannot show a box the message goes to standard error and the first button
// counts as chosen.
MessageBoxAnswer ShowSdlMessageBox(SDL_Window* owner, std::string_view text, std::string_view title,
                                   MessageBoxStyle style);

}  // namespace velmio
