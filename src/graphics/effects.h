#pragma once
// Transition effects: the effect slots, ShowWithEffect and the `print` path.
#include <cstdint>
#include <string_view>

#include "graphics/graphics_state.h"

namespace velmio {

class GraphicsContext;

constexpr int kMaxEffectType = 18;

// Brings the inclusive rectangle `rect` (whole screen when null) of the compose surface to the
// display surface and the window through effect `type` with duration `duration` ms; `mask` is
// the mask picture descriptor of types 15 and 18 (ignored by the others). Clears the
// DirtyRect (except type 0, which returns at once). Type -1 and types above 18 are fatal errors.
// Callers run ComposeScreen over the same rectangle first.
void ShowWithEffect(GraphicsContext& engine, int32_t type, int32_t duration, std::string_view mask, const DirtyRect* rect);

// ComposeScreen over the DirtyRect and ShowWithEffect with slot `slot`'s effect; slot 0 shows
// nothing (the DirtyRect keeps accumulating). A slot outside 0..49 is treated as undefined.
void ShowSlot(GraphicsContext& engine, int32_t slot);

// The `print` command from its first operand on: reads "N" or "type, duration [, mask]", runs
// the text-window hide step, recomposes the DirtyRect and shows it. The picture commands that
// end with an effect operand call this after their comma.
void RunPrint(GraphicsContext& engine);

// Resets the 50 slots: type -1 and duration 0, then slot 0 type 0 and slot 1 type 1.
void ResetEffectSlots(GraphicsState& graphics);

}  // namespace velmio
