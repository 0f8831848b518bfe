#include "sound/stream_feeder.h"

#include <algorithm>
#include <iterator>

namespace velmio {

StreamFeeder::~StreamFeeder() { StopThread(); }

bool StreamFeeder::Fill(Stream& stream) {
  RingSource& ring = *stream.ring;
  for (size_t free = ring.FreeFrames(); free > 0; free = ring.FreeFrames()) {
    size_t produced = stream.producer->Produce(block_.data(), std::min(free, kBlockFrames));
    if (produced == 0) {
      ring.MarkEnded();
      return false;
    }
    ring.Write(block_.data(), std::min(produced, free));
  }
  return true;
}

void StreamFeeder::Attach(std::shared_ptr<RingSource> ring, std::unique_ptr<FrameProducer> producer) {
  if (!ring || !producer) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Stream stream{std::move(ring), std::move(producer)};
    if (!Fill(stream)) return;
    streams_.push_back(std::move(stream));
  }
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    ++attachments_;
  }
  wake_.notify_all();
}

void StreamFeeder::Detach(const RingSource* ring) {
  std::vector<Stream> dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  auto match = [ring](const Stream& stream) { return stream.ring.get() == ring; };
  auto end = std::stable_partition(streams_.begin(), streams_.end(), [&](const Stream& s) { return !match(s); });
  std::move(end, streams_.end(), std::back_inserter(dropped));
  streams_.erase(end, streams_.end());
}

bool StreamFeeder::FillAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(streams_, [this](Stream& stream) {
    // Nobody else holds the ring: the voice is gone, and so is any use for more sound.
    if (stream.ring.use_count() == 1) return true;
    return !Fill(stream);
  });
  return !streams_.empty();
}

void StreamFeeder::StartThread(std::chrono::milliseconds period) {
  if (thread_.joinable()) return;
  stopping_ = false;
  thread_ = std::thread([this, period] {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (!stopping_) {
      const uint64_t attachmentsSeen = attachments_;
      lock.unlock();
      const bool feeding = FillAll();
      lock.lock();
      // With nothing to feed the thread sleeps until a stream comes: waking a hundred times a
      // second for nothing costs an idle game (and a page's worker) processor time.
      if (feeding)
        wake_.wait_for(lock, period, [this] { return stopping_; });
      else
        wake_.wait(lock, [this, attachmentsSeen] { return stopping_ || attachments_ != attachmentsSeen; });
    }
  });
}

void StreamFeeder::StopThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

}  // namespace velmio
