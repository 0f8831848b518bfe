#include "graphics/animation.h"

#include <algorithm>

#include "graphics/compose.h"
#include "graphics/effects.h"
#include "graphics/graphics_context.h"
#include "graphics/picture_command_handlers.h"

namespace velmio {
namespace {

enum class Advance { Moved, Unchanged };

Advance AdvanceLayer(PictureLayer& layer, uint32_t now) {
  if (layer.cells <= 1) return Advance::Unchanged;
  // Unsigned difference: correct across the wrap of the 32-bit millisecond clock.
  const int64_t elapsed = static_cast<uint32_t>(now - layer.lastTick);
  if (elapsed <= CellInterval(layer)) return Advance::Unchanged;
  const uint32_t interval = static_cast<uint32_t>(CellInterval(layer));
  const int32_t oldCell = layer.cell;
  const int32_t oldStep = layer.step;
  int32_t cell = oldCell + oldStep;
  if (cell < 0 || cell >= layer.cells) {
    switch (layer.animationMode) {
      case AnimationMode::Loop:
        cell = 0;
        break;
      case AnimationMode::StopOnLast:
        // Stays on the last cell for good: no redraw, and the clock is left as it was.
        layer.cell = layer.cells - 1;
        return Advance::Unchanged;
      case AnimationMode::BackAndForth:
        layer.step = -oldStep;
        cell = oldCell - oldStep;
        break;
    }
  }
  // A layer changed behind the animation's back (fewer cells than the current one) restarts.
  if (cell < 0 || cell >= layer.cells) cell = 0;
  layer.cell = cell;
  layer.lastTick = TickAfterMove(layer, interval, now);
  return Advance::Moved;
}

// Milliseconds until the layer's next cell is due; kLongestIdle and more when it never is.
uint32_t UntilDue(const PictureLayer& layer, uint32_t now) {
  if (layer.cells <= 1) return UINT32_MAX;
  const bool stopped = layer.animationMode == AnimationMode::StopOnLast &&
                       (layer.cell + layer.step < 0 || layer.cell + layer.step >= layer.cells);
  if (stopped) return UINT32_MAX;
  const int64_t due = static_cast<int64_t>(CellInterval(layer)) + 1 - static_cast<uint32_t>(now - layer.lastTick);
  return due <= 0 ? 0 : static_cast<uint32_t>(std::min<int64_t>(due, UINT32_MAX));
}

}  // namespace

int64_t CellInterval(const PictureLayer& layer) {
  if (layer.interval != -1) return layer.interval;
  if (layer.cell < 0 || static_cast<size_t>(layer.cell) >= layer.intervals.size()) return 0;
  return layer.intervals[layer.cell];
}

uint32_t TickAfterMove(const PictureLayer& layer, uint32_t interval, uint32_t now) {
  const uint32_t due = layer.lastTick + interval;
  const int64_t next = std::max<int64_t>(CellInterval(layer), 0);
  return static_cast<int64_t>(static_cast<uint32_t>(now - due)) > next ? now : due;
}

void IdleUntilDue(GraphicsContext& engine, uint32_t timeLeft, WaitKind kind) {
  if (!engine.messages.Empty()) return;
  GraphicsState& graphics = engine.graphics;
  const uint32_t now = engine.platform.Milliseconds();
  uint32_t timeout = std::min({timeLeft, engine.UntilTimerTick(), kLongestIdle});
  for (const Sprite& sprite : graphics.sprites)
    if (sprite.Shown()) timeout = std::min(timeout, UntilDue(sprite.layer, now));
  for (const StandingPicture& standing : graphics.standing)
    if (standing.Shown()) timeout = std::min(timeout, UntilDue(standing.layer, now));
  // Something already due is held up only by input; sleeping at least a millisecond keeps a
  // wait from spinning.
  engine.platform.Idle(std::max<uint32_t>(timeout, 1), kind);
}

void AnimationTick(GraphicsContext& engine) {
  GraphicsState& graphics = engine.graphics;
  const uint32_t now = engine.platform.Milliseconds();
  bool moved = false;
  auto tick = [&](PictureLayer& layer, int32_t x, int32_t y) {
    if (AdvanceLayer(layer, now) == Advance::Moved) {
      MarkLayer(graphics, layer, x, y);
      moved = true;
    }
  };
  // Input waiting ends the pass at once, so that a click is never held up by a long animation
  // pass; the layers not reached advance at the next tick.
  for (Sprite& sprite : graphics.sprites) {
    if (engine.messages.HasInput()) return;
    if (sprite.Shown()) tick(sprite.layer, sprite.X(), sprite.Y());
  }
  for (StandingPicture& standing : graphics.standing) {
    if (engine.messages.HasInput()) return;
    if (standing.Shown()) tick(standing.layer, standing.X(), standing.Y());
  }
  if (!moved) return;
  const DirtyRect rect = graphics.dirty;
  engine.RecomposeScreen(rect);
  ShowWithEffect(engine, 1, 0, {}, &rect);
}

}  // namespace velmio
