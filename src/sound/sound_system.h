#pragma once
// The engine's sound machinery: one mixer heard through the platform's device, the thread that
// decodes streams ahead of it (none where the device pulls on the engine's thread: the streams
// are fed before each mix), and the MIDI synthesiser shared by every song of the run.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/sound/midi_renderer.h"
#include "platform/platform.h"
#include "sound/mixer.h"
#include "sound/mp3_stream.h"
#include "sound/pcm_sources.h"
#include "sound/stream_feeder.h"

namespace velmio {

class SoundSystem {
 public:
  // About a third of a second of decoded music kept ahead of the mixer.
  static constexpr size_t kRingFrames = 16384;

  SoundSystem() = default;
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;
  ~SoundSystem() { Close(); }

  // Opens the platform's device. A device that cannot open is one warning; the game then plays
  // on in silence.
  void Open(Platform& platform);
  // Stops the device and every thread; nothing sounds or runs afterwards.
  void Close();

  bool DeviceOpen() const { return device_ != nullptr; }
  Mixer& Mix() { return mixer_; }
  StreamFeeder& Feeder() { return feeder_; }
  Mp3Stream& Mp3() { return mp3_; }
  // Made on the first song, so that a game without MIDI never loads the SoundFont; its warning
  // (no SoundFont) is printed once.
  MidiRenderer& Midi();
  std::shared_ptr<MidiRenderer> MidiShared() {
    Midi();
    return midi_;
  }

  // Kept between plays: the looping MIDI is started again from these bytes, the WAVE image
  // stays until the next WAVE.
  std::vector<uint8_t> midiFile;
  std::string midiFileName;
  bool midiOpen = false;
  std::shared_ptr<RingSource> midiRing;
  std::shared_ptr<RingSource> cdRing;
  int32_t cdTrackCount = -1;  // counted when the CD is first played
  std::shared_ptr<const std::vector<int16_t>> waveImage;

 private:
  // Declared first so that it is destroyed last: the feeder's and the device's callbacks use it.
  Mixer mixer_;
  StreamFeeder feeder_;
  std::shared_ptr<MidiRenderer> midi_;
  Mp3Stream mp3_{mixer_};
  AudioDevice* device_ = nullptr;
  bool feederThread_ = false;
};

}  // namespace velmio
