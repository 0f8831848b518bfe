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
  std::lock_guard<std::mutex> lock(mutex_);
  Stream stream{std::move(ring), std::move(producer)};
  if (Fill(stream)) streams_.push_back(std::move(stream));
}

void StreamFeeder::Detach(const RingSource* ring) {
  std::vector<Stream> dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  auto match = [ring](const Stream& stream) { return stream.ring.get() == ring; };
  auto end = std::stable_partition(streams_.begin(), streams_.end(), [&](const Stream& s) { return !match(s); });
  std::move(end, streams_.end(), std::back_inserter(dropped));
  streams_.erase(end, streams_.end());
}

void StreamFeeder::FillAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(streams_, [this](Stream& stream) {
    // Nobody else holds the ring: the voice is gone, and so is any use for more sound.
    if (stream.ring.use_count() == 1) return true;
    return !Fill(stream);
  });
}

void StreamFeeder::StartThread(std::chrono::milliseconds period) {
  if (thread_.joinable()) return;
  stopping_ = false;
  thread_ = std::thread([this, period] {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (!stopping_) {
      lock.unlock();
      FillAll();
      lock.lock();
      wake_.wait_for(lock, period, [this] { return stopping_; });
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
