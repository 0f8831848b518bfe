#pragma once
// MP3 background music, streamed: a thread of its own reads the whole file into memory and
// primes a ring of four PCM buffers through the four-call decoder; from then on each buffer the
// mixer has played is decoded anew from the mixer's completion callback, until the file ends.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "files/sound/mp3_decoder.h"
#include "sound/buffer_queue_source.h"
#include "sound/mixer.h"

namespace velmio {

class Mp3Stream {
 public:
  static constexpr size_t kBufferCount = 4;
  static constexpr uint32_t kStopWaitMs = 4000;

  explicit Mp3Stream(Mixer& mixer) : mixer_(mixer) {}
  Mp3Stream(const Mp3Stream&) = delete;
  Mp3Stream& operator=(const Mp3Stream&) = delete;
  ~Mp3Stream() { Stop(); }

  // Starts streaming `path` (the previous stream must be stopped). Returns once the first
  // buffers are queued, so that the music begins where the script asked for it.
  void Start(const std::string& path, PlayMode mode);
  // Asks the stream to stop and waits for its thread; queued buffers are handed back unplayed.
  void Stop();
  // True while the thread runs (a stream that ended by itself has none).
  bool Running() const { return running_.load(); }
  // For a device in virtual time, before each pull: while a pass has played out and the thread
  // has yet to start the next one (or end), waits for it, so that a looping stream starts again
  // at the same moment on every run.
  void WaitWhileBetweenPasses();

 private:
  void Run();
  // One pass over the file; false when the stream must end (stop request, unreadable file).
  bool PlayOnce();
  bool NextChunk();
  void WriteBuffer(uintptr_t index, size_t bytes);
  // Completion callback: the mixer has played buffer `index`.
  void RefillBuffer(uintptr_t index);
  void SignalPrimed();

  Mixer& mixer_;
  std::string path_;
  PlayMode mode_ = PlayMode::Once;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequest_{false};
  std::atomic<bool> playing_{false};
  std::atomic<int> outstanding_{0};

  Mp3Decoder decoder_;
  std::vector<uint8_t> image_;  // the whole file
  size_t readPosition_ = 0;
  std::array<uint8_t, Mp3Decoder::kInputChunkBytes> chunk_{};
  size_t chunkLength_ = 0;
  std::array<uint8_t, Mp3Decoder::kOutputBlockBytes> block_{};
  std::array<std::array<int16_t, Mp3Decoder::kOutputBlockBytes / sizeof(int16_t)>, kBufferCount> buffers_{};
  std::shared_ptr<BufferQueueSource> source_;

  std::mutex primedMutex_;
  std::condition_variable primedSignal_;
  bool primed_ = false;
};

}  // namespace velmio
