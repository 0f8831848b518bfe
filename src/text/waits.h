#pragma once
#include <cstdint>

namespace velmio {

class TextContext;

enum class Clickable : uint8_t { No, Yes };

// Whether a right click during a click wait opens the right-click menu (`click` keeps it closed).
enum class RightClick : uint8_t { OpenMenu, Ignore };

// Waits `milliseconds`; when clickable, a left-button release ends the wait early.
void TimedWait(TextContext& engine, uint32_t milliseconds, Clickable clickable);

// Waits for the player's click (or autoclick, or skip mode), animating the click cursor chosen
// by `cursorKind` at the cursor position. Returns early when the right-click menu asked for a
// reset or a load.
void ClickWait(TextContext& engine, RightClick rightClick = RightClick::OpenMenu);

}  // namespace velmio
