#pragma once
#include <cstdint>

namespace velmio {

class Interpreter;

enum class Clickable : uint8_t { No, Yes };

// Waits `milliseconds`; when clickable, a left-button release ends the wait early.
void TimedWait(Interpreter& engine, uint32_t milliseconds, Clickable clickable);

// Waits for the player's click (or autoclick, or skip mode), animating the click cursor chosen
// by `cursorKind`. Returns early when the right-click menu asked for a reset or a load.
void ClickWait(Interpreter& engine);

}  // namespace velmio
