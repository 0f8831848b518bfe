#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/mixer.h"

namespace velmio {

// A sound decoded whole into memory (a WAVE effect or voice). The samples are shared, so the
// engine may keep the image and start it again without copying.
class PcmSource : public MixerSource {
 public:
  explicit PcmSource(std::shared_ptr<const std::vector<int16_t>> samples);
  size_t Read(int16_t* out, size_t frames) override;
  bool AtEnd() const override;
  bool Rewind() override;

 private:
  std::shared_ptr<const std::vector<int16_t>> samples_;
  size_t position_ = 0;  // in frames
};

// A ring of frames written by one producer thread (the stream feeder, or the movie player on the
// main thread) and read by the mixer, without locks. The voice ends once the producer has said
// it is done and the ring is drained; until then an empty ring means silence, not an end.
class RingSource : public MixerSource {
 public:
  explicit RingSource(size_t capacityFrames);

  // Producer side, one thread at a time.
  size_t FreeFrames() const;
  // Copies as many of `frames` as fit and returns how many.
  size_t Write(const int16_t* samples, size_t frames);
  void MarkEnded();

  size_t BufferedFrames() const;
  size_t Read(int16_t* out, size_t frames) override;
  bool AtEnd() const override;

 private:
  std::vector<int16_t> samples_;
  size_t capacity_;                      // frames
  std::atomic<uint64_t> written_{0};     // frames ever written; only the producer stores it
  std::atomic<uint64_t> read_{0};        // frames ever read; only the mixer stores it
  std::atomic<bool> ended_{false};
};

}  // namespace velmio
