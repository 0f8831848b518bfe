#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "platform/audio_device.h"

namespace velmio {

// No sound card: the samples are pulled on the caller's thread as virtual time passes, so that
// sounds end and streams advance exactly as they would with a card, and can be recorded.
class NullAudioDevice : public AudioDevice {
 public:
  // Receives every frame pulled (for --audio-out).
  using Recorder = std::function<void(const int16_t* samples, size_t frames)>;

  std::string Open(PullCallback pull) override;
  void Close() override;
  void Pause() override { paused_ = true; }
  void Resume() override { paused_ = false; }
  bool IsOpen() const override { return open_; }

  void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }
  // Pulls the frames of `milliseconds` more time: over any run of calls, exactly 44.1 frames
  // per millisecond in total, never drifting. Paused, time passes in silence and nothing is pulled.
  void Advance(uint32_t milliseconds);
  uint64_t FramesPulled() const { return framesPulled_; }

 private:
  static constexpr size_t kChunkFrames = 1024;

  PullCallback pull_;
  Recorder recorder_;
  bool open_ = false;
  bool paused_ = true;
  uint64_t elapsedMs_ = 0;      // time the device has been running
  uint64_t framesPulled_ = 0;
  std::array<int16_t, kChunkFrames * kChannels> chunk_{};
};

}  // namespace velmio
