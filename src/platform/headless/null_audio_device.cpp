#include "platform/headless/null_audio_device.h"

#include <algorithm>

namespace velmio {

std::string NullAudioDevice::Open(PullCallback pull) {
  pull_ = std::move(pull);
  open_ = true;
  paused_ = true;
  return {};
}

void NullAudioDevice::Close() {
  open_ = false;
  pull_ = nullptr;
}

void NullAudioDevice::Advance(uint32_t milliseconds) {
  // Frames are counted from the total time, so that 1 ms steps add up to 44,100 frames a second.
  uint64_t before = elapsedMs_ * kRate / 1000;
  elapsedMs_ += milliseconds;
  uint64_t due = elapsedMs_ * kRate / 1000 - before;
  if (!open_ || paused_ || !pull_) return;
  while (due > 0) {
    size_t frames = static_cast<size_t>(std::min<uint64_t>(due, kChunkFrames));
    pull_(chunk_.data(), frames);
    if (recorder_) recorder_(chunk_.data(), frames);
    framesPulled_ += frames;
    due -= frames;
  }
}

}  // namespace velmio
