#pragma once
#include "shell/shell_state.h"
#include "text/text_context.h"

namespace velmio {

// The engine as the window procedure, the menu bar and the settings files see it.
class ShellContext : public TextContext {
 public:
  using TextContext::TextContext;

  ShellState shell;
};

}  // namespace velmio
