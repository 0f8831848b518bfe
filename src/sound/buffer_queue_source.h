#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "sound/mixer.h"

namespace velmio {

// The MP3 stream's output, the way a wave-out device plays it: PCM buffers owned by the caller,
// played in the order they were queued, each reported by its tag once the mixer has played its
// last frame. An empty queue is silence, never an end: the stream stops the voice itself.
class BufferQueueSource : public MixerSource {
 public:
  static constexpr size_t kCapacity = 8;
  // Called on the audio thread, the mixer unlocked. It may queue the next buffer, but must not
  // start or stop voices.
  using PlayedCallback = std::function<void(uintptr_t tag)>;

  explicit BufferQueueSource(PlayedCallback played);

  // One thread at a time (the stream while priming, then the callback). False when kCapacity
  // buffers are queued already. The frames must stay untouched until their tag is reported.
  bool Enqueue(const int16_t* samples, size_t frames, uintptr_t tag);
  // Buffers queued and not yet reported.
  size_t Outstanding() const;
  // Once the voice is stopped: reports every buffer still queued on the calling thread, as a
  // device reset hands back its buffers.
  void ReleaseQueued();

  size_t Read(int16_t* out, size_t frames) override;
  bool AtEnd() const override { return false; }
  void AfterMix() override;

 private:
  struct Entry {
    const int16_t* samples = nullptr;
    size_t frames = 0;
    uintptr_t tag = 0;
  };

  PlayedCallback played_;
  std::array<Entry, kCapacity> entries_{};
  std::atomic<size_t> queued_{0};    // entries ever queued; stored by the producer
  std::atomic<size_t> consumed_{0};  // entries ever played through; stored by the mixer
  std::atomic<size_t> reported_{0};  // entries ever reported
  size_t position_ = 0;              // frames of the first entry already played
  std::array<uintptr_t, 2 * kCapacity> done_{};  // played, waiting for AfterMix
  size_t doneCount_ = 0;
};

}  // namespace velmio
