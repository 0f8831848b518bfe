#pragma once
#include "persist/persist_context.h"
#include "ui/ui_state.h"

namespace velmio {

// The engine as the menus and dialogs see it: they save, load and reset through what lies below.
class UiContext : public PersistContext {
 public:
  using PersistContext::PersistContext;

  UiState ui;
};

}  // namespace velmio
