#pragma once
#include "shell/shell_state.h"
#include "sound/sound_context.h"

namespace velmio {

// The engine as the window procedure, the menu bar and the settings files see it.
class ShellContext : public SoundContext {
 public:
  using SoundContext::SoundContext;

  ShellState shell;
};

}  // namespace velmio
