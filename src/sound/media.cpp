// WAVE, MIDI, the virtual CD and MP3: the state machine of names, loop flags and temporary
// files over the one mixer.
#include "sound/media.h"

#include <array>
#include <cstdio>

#include "base/encoding.h"
#include "base/errors.h"
#include "base/warning.h"
#include "files/file_reading.h"
#include "files/game_file_lookup.h"
#include "files/sound/audio_stream.h"
#include "sound/decoder_producers.h"
#include "sound/media_files.h"
#include "sound/pcm_sources.h"
#include "sound/sound_context.h"
#include "sound/sound_system.h"

namespace velmio {
namespace {

constexpr size_t kMaxNameLength = 255;  // names are 256-byte fields with their NUL
constexpr int32_t kRestartingTrack = 9999;
constexpr int32_t kMaxCdTracks = 99;

std::string Limited(std::string_view name) { return std::string(name.substr(0, kMaxNameLength)); }

PlayMode ModeOf(Looping looping) { return looping == Looping::Loop ? PlayMode::Loop : PlayMode::Once; }

// Unit tests build engines without sound; every operation then only keeps the state.
SoundSystem* System(SoundContext& engine) { return engine.sound.system.get(); }

void WarnAboutFile(std::string_view error) { Warn(std::string(error) + "; it is not played"); }

// The MIDI song from its start; the synthesiser is shared, so the old stream lets go of it first.
// A looping song stops where its events end, as a sequencer does, so that the timer starts the
// next pass at once instead of after the last notes have rung out.
void RestartMidi(SoundSystem& system, Looping looping) {
  if (system.midiRing) system.Feeder().Detach(system.midiRing.get());
  system.Mix().Stop(VoiceKind::Midi);
  MidiRenderer& renderer = system.Midi();
  std::string problem = renderer.Start(system.midiFile, system.midiFileName, PlayRepeat::Once,
                                       looping == Looping::Loop ? SongEnd::AtLastEvent : SongEnd::AfterTail);
  if (!problem.empty()) {
    system.midiOpen = false;
    system.midiRing.reset();
    WarnAboutFile(problem);
    return;
  }
  system.midiRing = std::make_shared<RingSource>(SoundSystem::kRingFrames);
  system.Feeder().Attach(system.midiRing, std::make_unique<MidiProducer>(system.MidiShared()));
  system.Mix().Start(VoiceKind::Midi, system.midiRing, PlayMode::Once);
}

// The game's CD: track n is cd/trackNN with any extension our decoders read.
std::string FindTrackFile(int32_t track) {
  char base[32];
  std::snprintf(base, sizeof base, "cd/track%02d.", static_cast<int>(track));
  for (const char* extension : {"ogg", "flac", "wav", "mp3"}) {
    std::string path = LocateGameFile(std::string(base) + extension);
    if (!path.empty()) return path;
  }
  return {};
}

int32_t CountTracks() {
  int32_t count = 0;
  for (int32_t track = 1; track <= kMaxCdTracks; ++track)
    if (!FindTrackFile(track).empty()) count = track;
  return count;
}

void PlayTrackOnDevice(SoundContext& engine, SoundSystem& system, int32_t track) {
  if (system.cdTrackCount < 0) system.cdTrackCount = CountTracks();
  if (system.cdTrackCount == 0)
    RaiseError("エラー", "総トラック数が取得できません。恐らくCDが入っていません。");
  if (system.cdRing) system.Feeder().Detach(system.cdRing.get());
  system.Mix().Stop(VoiceKind::Cd);
  track = std::min(track, system.cdTrackCount);
  std::string path = FindTrackFile(track);
  OpenedStream opened = path.empty() ? OpenedStream{nullptr, "cd/track" + std::to_string(track) + ": missing"}
                                     : OpenAudioStream(path);
  if (!opened.stream) ReportError(Sjis("CD-DA再生エラー"), Utf8ToShiftJis(opened.error.substr(0, 2000)));
  system.Mix().SetVolume(VoiceKind::Cd, 1.0f);
  system.cdRing = std::make_shared<RingSource>(SoundSystem::kRingFrames);
  system.Feeder().Attach(system.cdRing, std::make_unique<AudioStreamProducer>(std::move(opened.stream), PlayMode::Once));
  system.Mix().Start(VoiceKind::Cd, system.cdRing, PlayMode::Once);
  system.Mix().TakeFinished(VoiceKind::Cd);
}

void StopCdNow(SoundSystem& system) {
  if (system.cdRing) system.Feeder().Detach(system.cdRing.get());
  system.cdRing.reset();
  system.Mix().Stop(VoiceKind::Cd);
}

}  // namespace

void PlayWave(SoundContext& engine, std::string_view name, Looping looping) {
  SoundState& sound = engine.sound;
  StopWave(engine);
  if (name.empty() || !sound.waveEnabled || engine.input.Skipping()) return;
  ResolvedMedia media = ResolveMediaFile(engine, name);
  if (!ConvertForPlaying(engine, media, name, PressTarget::Wave)) return;
  Mark(sound.waveTemporary, media);
  SoundSystem* system = System(engine);
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(media.path, bytes)) return;
  sound.waveLoop = looping == Looping::Loop;
  sound.waveName = Limited(name);
  if (system == nullptr) return;
  DecodedSound decoded = DecodeSound(bytes, ShiftJisToUtf8(name));
  if (!decoded.Ok()) {
    WarnAboutFile(decoded.error);
    return;
  }
  system->waveImage = std::make_shared<const std::vector<int16_t>>(std::move(decoded.samples));
  system->Mix().Start(VoiceKind::Wave, std::make_shared<PcmSource>(system->waveImage), ModeOf(looping));
}

void StopWave(SoundContext& engine) {
  DeleteTemporary(engine.sound.waveTemporary);
  engine.sound.waveName.clear();
  if (SoundSystem* system = System(engine)) system->Mix().Stop(VoiceKind::Wave);
}

void PlayMidi(SoundContext& engine, std::string_view name, Looping looping) {
  SoundState& sound = engine.sound;
  StopMidi(engine);
  sound.midiLoop = 0;
  if (name.empty()) return;
  sound.midiName = Limited(name);
  ResolvedMedia media = ResolveMediaFile(engine, name);
  if (!ConvertForPlaying(engine, media, name, PressTarget::Midi)) return;
  Mark(sound.midiTemporary, media);
  SoundSystem* system = System(engine);
  if (system == nullptr) {
    sound.midiLoop = looping == Looping::Loop;
    return;
  }
  if (!ReadWholeFile(media.path, system->midiFile)) return;
  system->midiFileName = ShiftJisToUtf8(name);
  system->midiOpen = true;
  sound.midiLoop = looping == Looping::Loop;
  RestartMidi(*system, looping);
}

void StopMidi(SoundContext& engine) {
  SoundState& sound = engine.sound;
  if (SoundSystem* system = System(engine); system != nullptr && system->midiOpen) {
    if (system->midiRing) system->Feeder().Detach(system->midiRing.get());
    system->Mix().Stop(VoiceKind::Midi);
    system->Midi().Stop();
    system->midiRing.reset();
    system->midiOpen = false;
  }
  DeleteTemporary(sound.midiTemporary);
  sound.midiName.clear();
}

void PlayCdTrack(SoundContext& engine, int32_t track, Looping looping) {
  SoundState& sound = engine.sound;
  if (track == 0) {
    StopCd(engine);
    return;
  }
  SoundSystem* system = System(engine);
  if (track == sound.cdTrack && (system == nullptr || system->Mix().IsPlaying(VoiceKind::Cd))) return;
  StopCd(engine);
  sound.cdTrack = track;
  sound.cdLoop = looping == Looping::Loop;
  if (system != nullptr) PlayTrackOnDevice(engine, *system, track);
}

void StopCd(SoundContext& engine) {
  SoundState& sound = engine.sound;
  if (sound.cdTrack == -1) return;
  sound.cdTrack = -1;
  SoundSystem* system = System(engine);
  if (system == nullptr) return;
  if (sound.cdFadeOutTime == 0 || sound.cdFadeOff) {
    StopCdNow(*system);
    return;
  }
  // The fade holds the game up for its length, as the volume steps down.
  system->Mix().FadeOut(VoiceKind::Cd, sound.cdFadeOutTime);
  uint32_t start = engine.platform.Milliseconds();
  for (uint32_t passed = 0; passed < sound.cdFadeOutTime; passed = engine.platform.Milliseconds() - start)
    engine.platform.Idle(sound.cdFadeOutTime - passed, WaitKind::Timed);
  StopCdNow(*system);
}

void PlayMp3(SoundContext& engine, std::string_view name, Looping looping) {
  SoundState& sound = engine.sound;
  StopMp3(engine);
  sound.mp3Loop = 0;
  if (name.empty()) return;
  sound.mp3Name = Limited(name);
  ResolvedMedia media = ResolveMediaFile(engine, name);
  Mark(sound.mp3Temporary, media);
  sound.mp3Loop = looping == Looping::Loop;
  if (SoundSystem* system = System(engine)) system->Mp3().Start(media.path, ModeOf(looping));
}

void StopMp3(SoundContext& engine) {
  SoundState& sound = engine.sound;
  if (sound.mp3Name.empty()) return;
  if (SoundSystem* system = System(engine)) system->Mp3().Stop();
  DeleteTemporary(sound.mp3Temporary);
  sound.mp3Name.clear();
}

void StopAllMedia(SoundContext& engine) {
  SoundState& sound = engine.sound;
  uint32_t fadeOutTime = sound.cdFadeOutTime;
  sound.cdFadeOutTime = 0;
  sound.cdLoop = sound.midiLoop = sound.waveLoop = sound.mp3Loop = 0;
  StopCd(engine);
  StopMidi(engine);
  StopWave(engine);
  StopMp3(engine);
  sound.cdFadeOutTime = fadeOutTime;
}

void MediaTimerTick(SoundContext& engine) {
  SoundState& sound = engine.sound;
  SoundSystem* system = System(engine);
  if (system == nullptr) return;
  if (sound.midiLoop != 0 && system->midiOpen && !system->Mix().IsPlaying(VoiceKind::Midi)) {
    system->Mix().TakeFinished(VoiceKind::Midi);
    RestartMidi(*system, Looping::Loop);
  }
  // The end-of-play notification of the CD.
  if (system->Mix().TakeFinished(VoiceKind::Cd) > 0 && sound.cdLoop != 0 && sound.cdTrack != -1) {
    int32_t track = sound.cdTrack;
    uint32_t fadeOutTime = sound.cdFadeOutTime;
    sound.cdFadeOutTime = 0;
    sound.cdTrack = kRestartingTrack;
    PlayCdTrack(engine, track, Looping::Loop);
    sound.cdFadeOutTime = fadeOutTime;
  }
}

}  // namespace velmio
