#include "sound/sound_lifecycle.h"

#include <memory>

#include "sound/media.h"
#include "sound/sound_context.h"
#include "sound/sound_system.h"

namespace velmio {

void StartSound(SoundContext& engine) {
  auto system = std::make_shared<SoundSystem>();
  system->Open(engine.platform);
  engine.sound.system = std::move(system);
}

void EndSound(SoundContext& engine) {
  StopAllMedia(engine);
  if (engine.sound.system) engine.sound.system->Close();
  engine.sound.system.reset();
}

}  // namespace velmio
