#pragma once
#include "graphics/graphics_context.h"
#include "text/text_state.h"

namespace velmio {

// The engine as the text display sees it: pictures below, the text window on top.
class TextContext : public GraphicsContext {
 public:
  using GraphicsContext::GraphicsContext;

  TextState text;

  // The click that ended a click wait is heard: the click voice for a normal or a page wait.
  virtual void PlayClickVoice(CursorKind kind) {}
};

}  // namespace velmio
