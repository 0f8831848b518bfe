// `delay`, `wait`, `resettimer` and `waittimer`: waits measured on the platform's clock, which
// is virtual in headless runs.
#include "graphics/animation.h"
#include "shell/shell_command_handlers.h"
#include "shell/shell_context.h"
#include "shell/window_procedure.h"
#include "text/waits.h"

namespace velmio {
namespace {

// A negative duration would turn into some 49 days of unsigned milliseconds; it means no wait.
uint32_t ReadDuration(ShellContext& engine) {
  int32_t milliseconds = engine.script.ReadNumber();
  return milliseconds < 0 ? 0 : static_cast<uint32_t>(milliseconds);
}

}  // namespace

void DelayCommand(ShellContext& engine) { TimedWait(engine, ReadDuration(engine), Clickable::Yes); }

void WaitCommand(ShellContext& engine) { TimedWait(engine, ReadDuration(engine), Clickable::No); }

void ResetTimerCommand(ShellContext& engine) { engine.shell.timerBase = engine.platform.Milliseconds(); }

void WaitTimerCommand(ShellContext& engine) {
  const uint32_t target = engine.shell.timerBase + static_cast<uint32_t>(engine.script.ReadNumber());
  for (;;) {
    uint32_t now = engine.platform.Milliseconds();
    if (now >= target) return;
    engine.PumpOneMessage();
    AnimationTick(engine);
    IdleUntilDue(engine, target - now, WaitKind::Timed);
  }
}

}  // namespace velmio
