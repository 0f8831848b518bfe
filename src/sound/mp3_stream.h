#pragma once
// MP3 background music, streamed: each pass reads the whole file into memory and primes a ring
// of four PCM buffers through the four-call decoder; from then on each buffer the mixer has played
// is decoded anew from the mixer's completion callback, until the file ends. Between passes of a
// loop the file is read again, so that is done off the audio thread: by a thread of the stream's
// own, or, where the device pulls on the engine's thread, just before a mix.
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

  // Who ends a pass that has played out and starts the next one of a loop.
  enum class Servicing : uint8_t { OwnThread, BeforeEachMix };

  explicit Mp3Stream(Mixer& mixer) : mixer_(mixer) {}
  Mp3Stream(const Mp3Stream&) = delete;
  Mp3Stream& operator=(const Mp3Stream&) = delete;
  ~Mp3Stream() { Stop(); }

  // Only while no stream runs.
  void SetServicing(Servicing servicing) { servicing_ = servicing; }
  // Starts streaming `path`, stopping the previous stream. Returns once the first buffers are
  // queued, so that the music begins where the script asked for it.
  void Start(const std::string& path, PlayMode mode);
  // Stops the stream (and waits for its thread); queued buffers are handed back unplayed.
  void Stop();
  // False once the stream has ended, by itself or stopped.
  bool Running() const { return running_.load(); }
  // BeforeEachMix, on the thread that mixes, right before the mix: ends a pass that has played
  // out and starts the next of a loop. Between two mixes, so a loop starts again at the same
  // moment on every run.
  void Service();

 private:
  void Run();
  // Reads the file, queues the first buffers and starts the voice; false when the file cannot
  // be read.
  bool BeginPass();
  // Stops the voice, takes back the buffers still queued and lets the decoder go.
  void EndPass();
  bool PassOver() const { return !playing_ && outstanding_.load() == 0; }
  void ReleaseImage();
  bool NextChunk();
  void WriteBuffer(uintptr_t index, size_t bytes);
  // Completion callback: the mixer has played buffer `index`.
  void RefillBuffer(uintptr_t index);
  void SignalPrimed();
  // Wakes the stream's thread to look again at the pass and the stop request.
  void WakeThread();

  Mixer& mixer_;
  std::string path_;
  PlayMode mode_ = PlayMode::Once;
  Servicing servicing_ = Servicing::OwnThread;
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

  // Guard the waits for the first buffers (Start) and for the end of a pass (the thread).
  std::mutex signalMutex_;
  std::condition_variable signal_;
  bool primed_ = false;
};

}  // namespace velmio
