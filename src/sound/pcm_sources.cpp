#include "sound/pcm_sources.h"

#include <algorithm>
#include <cstring>

namespace velmio {

PcmSource::PcmSource(std::shared_ptr<const std::vector<int16_t>> samples) : samples_(std::move(samples)) {}

size_t PcmSource::Read(int16_t* out, size_t frames) {
  size_t total = samples_ ? samples_->size() / kMixChannels : 0;
  size_t count = std::min(frames, total - position_);
  if (count == 0) return 0;
  std::memcpy(out, samples_->data() + position_ * kMixChannels, count * kMixChannels * sizeof(int16_t));
  position_ += count;
  return count;
}

bool PcmSource::AtEnd() const { return !samples_ || position_ >= samples_->size() / kMixChannels; }

bool PcmSource::Rewind() {
  position_ = 0;
  return true;
}

RingSource::RingSource(size_t capacityFrames)
    : samples_(std::max<size_t>(capacityFrames, 1) * kMixChannels), capacity_(std::max<size_t>(capacityFrames, 1)) {}

size_t RingSource::FreeFrames() const {
  return capacity_ - static_cast<size_t>(written_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire));
}

size_t RingSource::BufferedFrames() const {
  return static_cast<size_t>(written_.load(std::memory_order_acquire) - read_.load(std::memory_order_relaxed));
}

size_t RingSource::Write(const int16_t* samples, size_t frames) {
  uint64_t written = written_.load(std::memory_order_relaxed);
  size_t count = std::min(frames, FreeFrames());
  if (count == 0) return 0;
  size_t start = static_cast<size_t>(written % capacity_);
  size_t first = std::min(count, capacity_ - start);
  std::memcpy(samples_.data() + start * kMixChannels, samples, first * kMixChannels * sizeof(int16_t));
  std::memcpy(samples_.data(), samples + first * kMixChannels, (count - first) * kMixChannels * sizeof(int16_t));
  written_.store(written + count, std::memory_order_release);
  return count;
}

void RingSource::MarkEnded() { ended_.store(true, std::memory_order_release); }

size_t RingSource::Read(int16_t* out, size_t frames) {
  uint64_t read = read_.load(std::memory_order_relaxed);
  size_t count = std::min(frames, BufferedFrames());
  if (count == 0) return 0;
  size_t start = static_cast<size_t>(read % capacity_);
  size_t first = std::min(count, capacity_ - start);
  std::memcpy(out, samples_.data() + start * kMixChannels, first * kMixChannels * sizeof(int16_t));
  std::memcpy(out + first * kMixChannels, samples_.data(), (count - first) * kMixChannels * sizeof(int16_t));
  read_.store(read + count, std::memory_order_release);
  return count;
}

bool RingSource::AtEnd() const {
  // Ended first: once it is seen, every frame written before it is counted in written_.
  return ended_.load(std::memory_order_acquire) && BufferedFrames() == 0;
}

}  // namespace velmio
