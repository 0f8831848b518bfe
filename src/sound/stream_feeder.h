#pragma once
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/pcm_sources.h"

namespace velmio {

// Sound made ahead of the mixer by work the audio thread must not do: reading files, decoding,
// synthesising MIDI.
class FrameProducer {
 public:
  virtual ~FrameProducer() = default;
  // Writes up to `frames` stereo frames to `out`; 0 means the sound is over.
  virtual size_t Produce(int16_t* out, size_t frames) = 0;
};

// Keeps ring sources topped up from their producers: from a thread of its own beside a device
// with an audio thread, or only when FillAll is called just before each mix where the device
// pulls on the engine's thread (headless, where sound in virtual time then comes out the same
// on every run, and a page, which has no threads).
class StreamFeeder {
 public:
  StreamFeeder() = default;
  StreamFeeder(const StreamFeeder&) = delete;
  StreamFeeder& operator=(const StreamFeeder&) = delete;
  ~StreamFeeder();

  // Fills `ring` at once and from then on until the producer ends. The stream is dropped by
  // itself once nobody else holds the ring (the voice stopped and the engine let go of it).
  void Attach(std::shared_ptr<RingSource> ring, std::unique_ptr<FrameProducer> producer);
  // Drops the stream now; when it returns its producer is destroyed and no fill is running, so
  // whatever the producer shared (a MIDI synthesiser) may be used again.
  void Detach(const RingSource* ring);
  // Tops every ring up to its capacity; false when no stream is left to feed.
  bool FillAll();

  void StartThread(std::chrono::milliseconds period = std::chrono::milliseconds(10));
  void StopThread();

 private:
  struct Stream {
    std::shared_ptr<RingSource> ring;
    std::unique_ptr<FrameProducer> producer;
  };
  static constexpr size_t kBlockFrames = 2048;

  // Called with mutex_ held; false once the producer has ended.
  bool Fill(Stream& stream);

  std::mutex mutex_;
  std::vector<Stream> streams_;
  std::array<int16_t, kBlockFrames * kMixChannels> block_{};
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  uint64_t attachments_ = 0;  // streams attached so far, under wakeMutex_
};

}  // namespace velmio
