// The scenario commands of music, sound effects and movies.
#include "sound/sound_commands.h"

#include <array>

#include "base/errors.h"
#include "sound/media.h"

namespace velmio {
namespace {

constexpr size_t kMaxPressPlugins = 50;

// "*3" is CD track 3 (the digits after the asterisk, as many as there are); anything else a MIDI.
void PlayMusic(SoundContext& engine, Looping looping) {
  std::string name = engine.script.ReadString();
  if (!name.empty() && name[0] == '*') {
    int32_t track = 0;
    for (size_t i = 1; i < name.size() && name[i] >= '0' && name[i] <= '9' && track < 100000; ++i)
      track = track * 10 + (name[i] - '0');
    PlayCdTrack(engine, track, looping);
    return;
  }
  PlayMidi(engine, name, looping);
}

void Play(SoundContext& engine) { PlayMusic(engine, Looping::Loop); }
void PlayOnce(SoundContext& engine) { PlayMusic(engine, Looping::Once); }

void PlayStop(SoundContext& engine) {
  StopCd(engine);
  StopMidi(engine);
}

void Stop(SoundContext& engine) {
  StopCd(engine);
  StopMidi(engine);
  StopWave(engine);
}

void Wave(SoundContext& engine) {
  std::string name = engine.script.ReadString();
  if (name.empty()) {
    StopWave(engine);
    return;
  }
  PlayWave(engine, name, Looping::Once);
}

void WaveLoop(SoundContext& engine) { PlayWave(engine, engine.script.ReadString(), Looping::Loop); }
void WaveStop(SoundContext& engine) { StopWave(engine); }

void CdFadeOut(SoundContext& engine) {
  int32_t milliseconds = engine.script.ReadNumber();
  engine.sound.cdFadeOutTime = milliseconds < 0 ? 0 : static_cast<uint32_t>(milliseconds);
}

void SoundPressPlugin(SoundContext& engine) {
  std::string entry = engine.script.ReadString();
  if (engine.sound.pressPlugins.size() >= kMaxPressPlugins) RaiseError("エラー", "Sound press plug-in設定が多すぎます。");
  for (char& c : entry)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');  // never a second byte: those are 0x40 and up
  engine.sound.pressPlugins.push_back(std::move(entry));
}

void Mp3(SoundContext& engine) { PlayMp3(engine, engine.script.ReadString(), Looping::Once); }
void Mp3Loop(SoundContext& engine) { PlayMp3(engine, engine.script.ReadString(), Looping::Loop); }

void Avi(SoundContext& engine) {
  std::string name = engine.script.ReadString();
  engine.script.ExpectComma();
  int32_t clickToStop = engine.script.ReadNumber();
  PlayMovie(engine, name, clickToStop != 0 ? ClickToStop::Yes : ClickToStop::No);
}

constexpr auto kCommands = std::to_array<SoundCommand>({
    {"play", CommandGroup::RunOnly, Play},
    {"playonce", CommandGroup::RunOnly, PlayOnce},
    {"playstop", CommandGroup::RunOnly, PlayStop},
    {"stop", CommandGroup::RunOnly, Stop},
    {"wave", CommandGroup::RunOnly, Wave},
    {"waveloop", CommandGroup::RunOnly, WaveLoop},
    {"wavestop", CommandGroup::RunOnly, WaveStop},
    {"mp3", CommandGroup::RunOnly, Mp3},
    {"mp3loop", CommandGroup::RunOnly, Mp3Loop},
    {"avi", CommandGroup::RunOnly, Avi},
    {"cdfadeout", CommandGroup::DefinitionOnly, CdFadeOut},
    {"soundpressplgin", CommandGroup::DefinitionOnly, SoundPressPlugin},
});

}  // namespace

std::span<const SoundCommand> SoundCommands() { return kCommands; }

}  // namespace velmio
