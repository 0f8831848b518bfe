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
  bool IsOpen() const override { return device_ != 0 || waitingForGesture_; }
  // Opens a device that waits for the player's first click, key or touch (in a page); the
  // window calls it on each of them.
  void OpenAfterGesture();

 private:
  static void Callback(void* user, uint8_t* stream, int bytes);
  std::string OpenNow();

  uint32_t device_ = 0;
  PullCallback pull_;
  bool waitingForGesture_ = false;
  bool paused_ = true;
};

}  // namespace velmio
