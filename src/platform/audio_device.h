#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace velmio {

// The sound output. It pulls 44.1 kHz stereo 16-bit frames from the callback whenever it needs
// them: on an audio thread for a real device, on the engine's thread for the headless one and a
// page's (Platform::AudioPullKind).
class AudioDevice {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;
  // Writes exactly `frames` frames (2 x frames samples) to `out`.
  using PullCallback = std::function<void(int16_t* out, size_t frames)>;

  virtual ~AudioDevice() = default;
  // Empty when the device is open, else why not (UTF-8): the engine warns once and carries on
  // silently. A device opens paused.
  virtual std::string Open(PullCallback pull) = 0;
  virtual void Close() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual bool IsOpen() const = 0;
};

}  // namespace velmio
