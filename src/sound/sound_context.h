#pragma once
#include "sound/sound_state.h"
#include "text/text_context.h"

namespace velmio {

// The engine as sound and movies see it: movies draw over the screen, voices go with the text.
class SoundContext : public TextContext {
 public:
  using TextContext::TextContext;

  SoundState sound;
};

}  // namespace velmio
