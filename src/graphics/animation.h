#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace velmio {

class GraphicsContext;
struct PictureLayer;

// Longest sleep of any wait: a wait with nothing due still looks at the clock this often.
constexpr uint32_t kLongestIdle = 100;

// Advances the cell animations of sprites and standing pictures whose time has come; every wait
// calls it between messages.
void AnimationTick(GraphicsContext& engine);

// How long the layer's current cell stays, in milliseconds.
int64_t CellInterval(const PictureLayer& layer);

// The last tick of a layer that has just moved at `now`, its old cell having lasted `interval`:
// the moment that cell fell due, so that a late look at the clock does not stretch the next
// cell; `now` itself when the next cell would already be due (a wait began long after).
uint32_t TickAfterMove(const PictureLayer& layer, uint32_t interval, uint32_t now);

// Sleeps until the earliest of: `timeLeft` ms, the next animation cell, the next window timer
// tick, or input. Returns at once when a message is waiting.
void IdleUntilDue(GraphicsContext& engine, uint32_t timeLeft, WaitKind kind);

}  // namespace velmio
