#include "text/waits.h"

#include <algorithm>

#include "graphics/animation.h"
#include "graphics/compose.h"
#include "graphics/present.h"
#include "text/text_context.h"

namespace velmio {
namespace {

// What Step returns when the cursor has nothing more to show.
constexpr uint32_t kNothingDue = UINT32_MAX;

void DiscardEarlyInput(TextContext& engine) {
  engine.messages.RemoveAll(MessageKind::LeftButtonUp);
  engine.messages.RemoveAll(MessageKind::Character);
}

// The click cursor of one wait: the save-under of its area and its animation.
class CursorAnimation {
 public:
  explicit CursorAnimation(TextContext& engine) : engine_(engine), text_(engine.text) {
    if (text_.cursorKind == CursorKind::None) return;
    layer_ = &text_.cursors[text_.cursorKind == CursorKind::Page ? 1 : 0].layer;
    width_ = layer_->DisplayedWidth() + 1;
    height_ = layer_->DisplayedHeight() + 1;
    text_.cursorSaveUnder.Create(width_, height_, 24);
    CopySurfaceRect(text_.cursorSaveUnder, 0, 0, width_, height_, engine.graphics.display, text_.cursorX,
                    text_.cursorY);
  }

  // Milliseconds until the next cell is due (kNothingDue when nothing animates). The first
  // cell after a load waits its interval like every other: the load noted the time.
  uint32_t Step() {
    if (!layer_ || layer_->cells < 2) return kNothingDue;
    PictureLayer& layer = *layer_;
    const uint32_t now = engine_.platform.Milliseconds();
    const uint32_t interval = static_cast<uint32_t>(std::max<int64_t>(CellInterval(layer), 0));
    const uint32_t since = now - layer.lastTick;
    if (since <= interval) return interval - since + 1;
    layer.cell += layer.step;
    if (layer.cell < 0 || layer.cell >= layer.cells) {
      switch (layer.animationMode) {
        case AnimationMode::Loop:
          layer.cell = 0;
          break;
        case AnimationMode::StopOnLast:
          layer.cell = layer.cells - 1;
          layer.lastTick = now;
          return kNothingDue;
        case AnimationMode::BackAndForth:
          layer.step = -layer.step;
          layer.cell += 2 * layer.step;
          layer.cell = std::clamp(layer.cell, 0, layer.cells - 1);
          break;
      }
    }
    Surface& display = engine_.graphics.display;
    Restore(Present::No);
    DrawLayer(layer, display, ClipRect{}, text_.cursorX, text_.cursorY);
    CopyToWindow(engine_, display, ScreenArea{text_.cursorX, text_.cursorY, width_, height_});
    layer.lastTick = TickAfterMove(layer, interval, now);
    return static_cast<uint32_t>(std::max<int64_t>(CellInterval(layer), 0)) + 1 - (now - layer.lastTick);
  }

  // Puts the screen under the cursor back.
  enum class Present : uint8_t { No, Yes };
  void Restore(Present present) {
    if (!layer_) return;
    Surface& display = engine_.graphics.display;
    CopySurfaceRect(display, text_.cursorX, text_.cursorY, width_, height_, text_.cursorSaveUnder, 0, 0);
    if (present == Present::Yes)
      CopyToWindow(engine_, display, ScreenArea{text_.cursorX, text_.cursorY, width_, height_});
  }

 private:
  TextContext& engine_;
  TextState& text_;
  PictureLayer* layer_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace

void TimedWait(TextContext& engine, uint32_t milliseconds, Clickable clickable) {
  DiscardEarlyInput(engine);
  const uint32_t start = engine.platform.Milliseconds();
  for (;;) {
    if (engine.PumpOneMessage() && clickable == Clickable::Yes &&
        engine.input.lastMessage == static_cast<int>(MessageKind::LeftButtonUp)) {
      return;
    }
    AnimationTick(engine);
    uint32_t elapsed = engine.platform.Milliseconds() - start;
    if (elapsed >= milliseconds || engine.input.skipHeld) return;
    IdleUntilDue(engine, milliseconds - elapsed, WaitKind::Timed);
  }
}

void ClickWait(TextContext& engine, RightClick rightClick) {
  InputState& input = engine.input;
  TextState& text = engine.text;
  Script& script = engine.script;
  DiscardEarlyInput(engine);
  input.clickFlag = false;
  input.rightClickFlag = false;
  input.wheelUpFlag = false;
  CursorAnimation cursor(engine);
  engine.platform.PlayerWaitStarted();
  const uint32_t start = engine.platform.Milliseconds();
  for (;;) {
    if (text.autoClick && engine.platform.Milliseconds() - start >= text.autoClickDelay) break;
    engine.PumpOneMessage();
    if (!text.autoClick) {
      if (input.clickFlag) {
        input.clickFlag = false;
        break;
      }
      if (input.Skipping()) break;
      if (input.rightClickFlag || input.wheelUpFlag) {
        RightClickMenu hook = input.rightClickFlag ? text.rightClickMenu : text.wheelLookback;
        input.rightClickFlag = false;
        input.wheelUpFlag = false;
        if (rightClick == RightClick::OpenMenu && hook) {
          hook(engine);
          // The player restarted or loaded: whoever waited abandons its work.
          if (script.resetRequest || script.loadRequest) return;
        }
      }
    }
    AnimationTick(engine);
    uint32_t idle = cursor.Step();
    if (text.autoClick) {
      uint32_t elapsed = engine.platform.Milliseconds() - start;
      idle = std::min(idle, text.autoClickDelay > elapsed ? text.autoClickDelay - elapsed : 1);
    }
    // A wait that ends by itself is not waiting for the player.
    const WaitKind kind = text.autoClick || input.Skipping() ? WaitKind::Timed : WaitKind::Player;
    IdleUntilDue(engine, idle, kind);
  }
  engine.PlayClickVoice(text.cursorKind);
  cursor.Restore(CursorAnimation::Present::Yes);
  text.cursorKind = CursorKind::None;
}

}  // namespace velmio
