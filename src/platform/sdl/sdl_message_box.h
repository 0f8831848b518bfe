#pragma once
// The program's own message boxes. The desktop's (SDL's X11 box) writes Japanese as garbage
// where the X server has no CJK core fonts, so every box is drawn with our own font path: over
// the picture while the game window is on the screen, else in a small window of its own.
#include <SDL.h>

#include <functional>
#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "platform/sdl/message_box_widget.h"

namespace velmio {

// Hands an input event to an open box; `toArea` maps window coordinates to the box's area.
// Returns the answer when the event ends the box (a window close is the box's dismissal).
std::optional<MessageBoxAnswer> FeedMessageBox(MessageBoxWidget& box, const SDL_Event& event,
                                               const std::function<SDL_Point(int, int)>& toArea);

// Waits for SDL's next event however long it takes; false on SDL's error. The boxes and the
// input dialog wait through this: in a page, SDL's own wait would hold the browser's loop (SDL
// sleeps by spinning there, see SdlPlatform::Create), so no event could ever come.
bool WaitForEvent(SDL_Event& event);

// A modal box in a window of its own, for when the game window is not shown (a refused second
// copy, an error in the definition block). Texts are Shift JIS. Initialises SDL's video for the
// time it is open; with no display at all, the answer is the box's dismissal.
MessageBoxAnswer ShowMessageBoxWindow(std::string_view text, std::string_view title, MessageBoxStyle style);

}  // namespace velmio
