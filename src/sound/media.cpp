#include "sound/media.h"

#include "sound/sound_context.h"

namespace velmio {

// Until playback is wired to the mixer, the operations keep the names and flags that saves
// record, and play nothing.
void PlayWave(SoundContext& engine, std::string_view name, Looping looping) {
  engine.sound.waveName = name;
  engine.sound.waveLoop = looping == Looping::Loop;
}

void PlayCdTrack(SoundContext& engine, int32_t track, Looping looping) {
  engine.sound.cdTrack = track == 0 ? -1 : track;
  engine.sound.cdLoop = looping == Looping::Loop;
}

void PlayMidi(SoundContext& engine, std::string_view name, Looping looping) {
  engine.sound.midiName = name;
  engine.sound.midiLoop = looping == Looping::Loop;
}

void PlayMp3(SoundContext& engine, std::string_view name, Looping looping) {
  engine.sound.mp3Name = name;
  engine.sound.mp3Loop = looping == Looping::Loop;
}

void StopAllMedia(SoundContext& engine) {
  engine.sound.cdLoop = engine.sound.midiLoop = engine.sound.waveLoop = engine.sound.mp3Loop = 0;
  engine.sound.cdTrack = -1;
  engine.sound.midiName.clear();
  engine.sound.waveName.clear();
  engine.sound.mp3Name.clear();
}

}  // namespace velmio
