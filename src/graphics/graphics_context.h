#pragma once
#include "graphics/graphics_state.h"
#include "script/script_context.h"

namespace velmio {

// The engine as the graphics commands see it: the script context and the graphics state.
class GraphicsContext : public ScriptContext {
 public:
  using ScriptContext::ScriptContext;

  GraphicsState graphics;

  // ComposeScreen over the inclusive rectangle, then the text window over it: what the screen
  // shows is always both. Without a rectangle: the whole screen.
  virtual void RecomposeScreen(const DirtyRect& rect) = 0;
  void RecomposeScreen() {
    DirtyRect whole;
    whole.Add(0, 0, kScreenWidth - 1, kScreenHeight - 1);
    RecomposeScreen(whole);
  }
  // The text window's hide step before a picture changes (EraseTextWindow).
  virtual void EraseTextWindow() = 0;
  // Milliseconds until the window timer next ticks; kNoTimerTick while it is stopped.
  static constexpr uint32_t kNoTimerTick = UINT32_MAX;
  virtual uint32_t UntilTimerTick() { return kNoTimerTick; }
};

}  // namespace velmio
