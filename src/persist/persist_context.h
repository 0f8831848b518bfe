#pragma once
#include "persist/persist_state.h"
#include "shell/shell_context.h"

namespace velmio {

// The engine as the save files see it: everything a save records lies below.
class PersistContext : public ShellContext {
 public:
  using ShellContext::ShellContext;

  PersistState persist;
};

}  // namespace velmio
