#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace velmio {

// Everything the mixer handles is signed 16-bit stereo, interleaved left then right, at this rate.
inline constexpr int kMixRate = 44100;
inline constexpr int kMixChannels = 2;

// One voice per kind of sound: starting a voice replaces what that voice played before.
enum class VoiceKind : uint8_t { Wave, Midi, Cd, Mp3, Movie };
inline constexpr size_t kVoiceKindCount = 5;

enum class PlayMode : uint8_t { Once, Loop };

// Where a voice's samples come from. Read and AtEnd run on the audio thread with the mixer
// locked: they copy from memory that is already there and never block, allocate or touch files.
class MixerSource {
 public:
  virtual ~MixerSource() = default;
  // Writes up to `frames` stereo frames to `out` and returns how many it wrote.
  virtual size_t Read(int16_t* out, size_t frames) = 0;
  // True when the sound is over. A short Read without AtEnd is a stream that fell behind: the
  // mixer plays silence for the rest and asks again next time.
  virtual bool AtEnd() const = 0;
  // Back to the first frame for a looping voice; false when the source cannot go back.
  virtual bool Rewind() { return false; }
  // Called on the audio thread after each mix the source took part in, with the mixer unlocked,
  // for sources that report progress (buffer completion).
  virtual void AfterMix() {}
};

// Sums the voices into the output the audio device pulls. Voices are started, stopped and faded
// from the main thread; Mix runs on the audio thread and never allocates, frees or blocks on
// anything but the short lock that guards the voices.
class Mixer {
 public:
  Mixer() = default;
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Plays `source` on the voice, replacing (not fading) whatever the voice played. The level
  // set with SetVolume stays; a fade in progress is forgotten.
  void Start(VoiceKind kind, std::shared_ptr<MixerSource> source, PlayMode mode);
  // Silences the voice at once. Stopping is not an end of play: TakeFinished does not count it.
  void Stop(VoiceKind kind);
  void StopAll();
  // Lowers the voice linearly to silence over `milliseconds` of played sound, then stops it (an
  // end that TakeFinished does not count either; the source is let go at the voice's next
  // Start, Stop or TakeFinished). 0 stops at once.
  void FadeOut(VoiceKind kind, uint32_t milliseconds);
  // Level of the voice from 0 (silent) to 1 (as recorded); kept across Start.
  void SetVolume(VoiceKind kind, float level);

  // True while the voice sounds, a fade-out included.
  bool IsPlaying(VoiceKind kind) const;
  // How many times the voice's sound has played to its end since the last call (a looping voice
  // never ends). Also lets go of the ended source.
  int TakeFinished(VoiceKind kind);
  // Frames the voice has taken from its source since it was started: the clock a movie's
  // pictures follow.
  uint64_t PlayedFrames(VoiceKind kind) const;

  // Audio thread: writes `frames` stereo frames (2 x frames samples) to `out`.
  void Mix(int16_t* out, size_t frames);

 private:
  static constexpr size_t kBlockFrames = 512;
  static constexpr int32_t kUnityGain = 1 << 16;

  struct Voice {
    std::shared_ptr<MixerSource> source;
    bool playing = false;
    PlayMode mode = PlayMode::Once;
    int32_t gain = kUnityGain;  // SetVolume, 16.16 fixed point
    int64_t fadeGain = 0;       // during a fade: the remaining level, 32.32 of `gain`
    int64_t fadeStep = 0;       // subtracted from fadeGain per frame; 0 when not fading
    int finishedCount = 0;
    uint64_t playedFrames = 0;
  };

  // Mixes one block of voice into `accumulator_`; returns false when the voice stops.
  bool MixVoice(Voice& voice, size_t frames);
  // Moves the source out so that the caller releases it outside the locks.
  std::shared_ptr<MixerSource> Detach(Voice& voice);
  void WaitForCallbacks();

  mutable std::mutex voicesMutex_;
  // Held by Mix while it calls AfterMix with voicesMutex_ released; Start and Stop take it before
  // letting a source go, so no source is freed while the audio thread still uses it.
  std::mutex callbackMutex_;
  std::array<Voice, kVoiceKindCount> voices_;
  std::array<int32_t, kBlockFrames * kMixChannels> accumulator_{};
  std::array<int16_t, kBlockFrames * kMixChannels> scratch_{};
  std::array<MixerSource*, kVoiceKindCount> mixedSources_{};
};

}  // namespace velmio
