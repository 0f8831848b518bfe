#pragma once
// The one engine object: owns the scenario and the run-time state of every subsystem, through
// the chain of contexts the subsystems see, and implements the hooks by which a lower subsystem
// reaches a higher one.
#include "ui/ui_context.h"

namespace velmio {

class Interpreter final : public UiContext {
 public:
  using UiContext::UiContext;

  // The message pump: collects what the platform holds, posts the window timer's tick when it
  // is due, and runs the window procedure on one message.
  bool PumpOneMessage() override;
  void ResetToStart() override;
  void RecomposeScreen(const DirtyRect& rect) override;
  using GraphicsContext::RecomposeScreen;
  void EraseTextWindow() override;
  uint32_t UntilTimerTick() override;
  void PlayClickVoice(CursorKind kind) override;
};

}  // namespace velmio
