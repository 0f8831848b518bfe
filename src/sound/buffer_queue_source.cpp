#include "sound/buffer_queue_source.h"

#include <algorithm>
#include <cstring>

namespace velmio {

BufferQueueSource::BufferQueueSource(PlayedCallback played) : played_(std::move(played)) {}

bool BufferQueueSource::Enqueue(const int16_t* samples, size_t frames, uintptr_t tag) {
  size_t queued = queued_.load(std::memory_order_relaxed);
  if (queued - consumed_.load(std::memory_order_acquire) >= kCapacity) return false;
  entries_[queued % kCapacity] = Entry{samples, frames, tag};
  queued_.store(queued + 1, std::memory_order_release);
  return true;
}

size_t BufferQueueSource::Outstanding() const {
  return queued_.load(std::memory_order_acquire) - reported_.load(std::memory_order_acquire);
}

size_t BufferQueueSource::Read(int16_t* out, size_t frames) {
  size_t consumed = consumed_.load(std::memory_order_relaxed);
  size_t queued = queued_.load(std::memory_order_acquire);
  size_t done = 0;
  // done_ holds what one mix can complete; a producer racing ahead waits for the next mix.
  while (consumed != queued && doneCount_ < done_.size()) {
    const Entry& entry = entries_[consumed % kCapacity];
    size_t count = std::min(entry.frames - position_, frames - done);
    if (count > 0) {
      std::memcpy(out + done * kMixChannels, entry.samples + position_ * kMixChannels,
                  count * kMixChannels * sizeof(int16_t));
    }
    position_ += count;
    done += count;
    if (position_ < entry.frames) break;
    done_[doneCount_++] = entry.tag;
    position_ = 0;
    consumed_.store(++consumed, std::memory_order_release);
  }
  return done;
}

void BufferQueueSource::AfterMix() {
  size_t count = doneCount_;
  doneCount_ = 0;
  for (size_t i = 0; i < count; ++i) {
    reported_.fetch_add(1, std::memory_order_acq_rel);
    if (played_) played_(done_[i]);
  }
}

void BufferQueueSource::ReleaseQueued() {
  AfterMix();
  size_t queued = queued_.load(std::memory_order_acquire);
  for (size_t consumed = consumed_.load(std::memory_order_relaxed); consumed != queued; ++consumed) {
    uintptr_t tag = entries_[consumed % kCapacity].tag;
    consumed_.store(consumed + 1, std::memory_order_release);
    reported_.fetch_add(1, std::memory_order_acq_rel);
    if (played_) played_(tag);
  }
  position_ = 0;
}

}  // namespace velmio
