#pragma once
#include <cstdint>

#include "platform/audio_device.h"

namespace velmio {

// The default SDL audio output; SDL converts to whatever the sound card takes.
class SdlAudioDevice : public AudioDevice {
 public:
  SdlAudioDevice() = default;
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;
  ~SdlAudioDevice() override { Close(); }

  std::string Open(PullCallback pull) override;
  void Close() override;
  void Pause() override;
  void Resume() override;
  bool IsOpen() const override { return device_ != 0; }

 private:
  static void Callback(void* user, uint8_t* stream, int bytes);

  uint32_t device_ = 0;
  PullCallback pull_;
};

}  // namespace velmio
