#include "text/waits.h"

#include <algorithm>

#include "graphics/animation.h"
#include "shell/interpreter.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

// Longest sleep between two looks at the clock while animations may be running.
constexpr uint32_t kIdleSlice = 5;

void DiscardEarlyInput(Interpreter& engine) {
  engine.messages.RemoveAll(MessageKind::LeftButtonUp);
  engine.messages.RemoveAll(MessageKind::Character);
}

}  // namespace

void TimedWait(Interpreter& engine, uint32_t milliseconds, Clickable clickable) {
  DiscardEarlyInput(engine);
  const uint32_t start = engine.platform.Milliseconds();
  for (;;) {
    if (PumpOneMessage(engine)) {
      if (clickable == Clickable::Yes &&
          engine.input.lastMessage == static_cast<int>(MessageKind::LeftButtonUp)) {
        return;
      }
    }
    AnimationTick(engine);
    uint32_t elapsed = engine.platform.Milliseconds() - start;
    if (elapsed >= milliseconds) return;
    if (engine.messages.Empty()) engine.platform.Idle(std::min(milliseconds - elapsed, kIdleSlice), WaitKind::Timed);
  }
}

void ClickWait(Interpreter& engine) {
  InputState& input = engine.input;
  DiscardEarlyInput(engine);
  input.clickFlag = false;
  input.rightClickFlag = false;
  engine.platform.PlayerWaitStarted();
  for (;;) {
    PumpOneMessage(engine);
    if (input.clickFlag) {
      input.clickFlag = false;
      return;
    }
    if (input.skipMode) return;
    input.rightClickFlag = false;  // the right-click menu comes with the menus
    AnimationTick(engine);
    if (engine.messages.Empty()) engine.platform.Idle(kIdleSlice * 4, WaitKind::Player);
  }
}

}  // namespace velmio
