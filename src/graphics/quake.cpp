// `quakex` and `quakey`: the window shows the display surface shaken in rounds of decreasing
// amplitude. Only the window changes; the display and compose surfaces and the DirtyRect stay.
#include <algorithm>
#include <cstdint>

#include "graphics/graphics_context.h"
#include "graphics/picture_command_handlers.h"
#include "graphics/present.h"

namespace velmio {
namespace {

enum class Direction { Horizontal, Vertical };

// From 40 rounds on, every offset but 0 already moves the picture off the screen; more rounds would
// only multiply black frames (a huge count would hold the program for hours).
constexpr int32_t kMaxRounds = 64;

// Offsets of one round, in units of the round's step.
constexpr int kRoundPattern[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, -1, -2, -3, -4, -3, -2, -1};

void SleepUntil(GraphicsContext& engine, uint32_t start, int64_t slot) {
  for (;;) {
    const int64_t elapsed = engine.platform.Milliseconds() - start;
    if (elapsed >= slot) return;
    engine.platform.Idle(static_cast<uint32_t>(slot - elapsed), WaitKind::Timed);
    engine.platform.CollectEvents(engine.messages);
  }
}

// The frame at `offset` is built in the effect work surface (scratch between effects): the
// display surface shifted, with black where it no longer covers the window.
void ShowShifted(GraphicsContext& engine, Direction direction, int offset) {
  GraphicsState& graphics = engine.graphics;
  Surface& frame = graphics.effectWork;
  FillSurface(frame, 0, 0, kScreenWidth, kScreenHeight, 0);
  if (direction == Direction::Horizontal) {
    CopySurfaceRect(frame, offset, 0, kScreenWidth, kScreenHeight, graphics.display, 0, 0);
  } else {
    CopySurfaceRect(frame, 0, offset, kScreenWidth, kScreenHeight, graphics.display, 0, 0);
  }
  CopyToWindow(engine, frame, ScreenArea{0, 0, kScreenWidth, kScreenHeight});
}

void Quake(GraphicsContext& engine, Direction direction) {
  Script& script = engine.script;
  const int32_t rounds = std::min(script.ReadNumber(), kMaxRounds);
  script.ExpectComma();
  const int32_t duration = script.ReadNumber();
  if (rounds > 0) {
    const int64_t frameTime = int64_t{duration} / (int64_t{16} * rounds);
    const int unit = direction == Direction::Horizontal ? 4 : 3;
    for (int64_t round = rounds; round >= 1; --round) {
      // Beyond the screen's size every frame is black; the offset is held there.
      const int64_t step = unit * round;
      for (int pattern : kRoundPattern) {
        const uint32_t start = engine.platform.Milliseconds();
        int64_t offset = step * pattern;
        if (offset > kScreenWidth) offset = kScreenWidth;
        if (offset < -kScreenWidth) offset = -kScreenWidth;
        ShowShifted(engine, direction, static_cast<int>(offset));
        SleepUntil(engine, start, frameTime);
      }
    }
  }
  PresentDisplay(engine);
}

}  // namespace

void QuakeHorizontalCommand(GraphicsContext& engine) { Quake(engine, Direction::Horizontal); }
void QuakeVerticalCommand(GraphicsContext& engine) { Quake(engine, Direction::Vertical); }

}  // namespace velmio
