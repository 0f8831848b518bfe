#include "sound/mp3_stream.h"

#include <algorithm>
#include <cstring>

#include "files/file_reading.h"

namespace velmio {

void Mp3Stream::Start(const std::string& path, PlayMode mode) {
  Stop();
  path_ = path;
  mode_ = mode;
  stopRequest_ = false;
  if (servicing_ == Servicing::BeforeEachMix) {
    running_ = BeginPass();
    if (!running_) ReleaseImage();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(signalMutex_);
    primed_ = false;
  }
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  std::unique_lock<std::mutex> lock(signalMutex_);
  signal_.wait(lock, [this] { return primed_; });
}

void Mp3Stream::Stop() {
  if (servicing_ == Servicing::BeforeEachMix) {
    if (!running_) return;
    EndPass();
    ReleaseImage();
    running_ = false;
    return;
  }
  if (!thread_.joinable()) return;
  stopRequest_ = true;
  WakeThread();
  // The thread answers a stop request within one decode step: it hands the queued buffers back
  // itself rather than wait for them to be played.
  thread_.join();
  running_ = false;
}

void Mp3Stream::SignalPrimed() {
  std::lock_guard<std::mutex> lock(signalMutex_);
  primed_ = true;
  signal_.notify_all();
}

void Mp3Stream::Run() {
  while (!stopRequest_ && BeginPass()) {
    SignalPrimed();
    {
      std::unique_lock<std::mutex> lock(signalMutex_);
      signal_.wait(lock, [this] { return stopRequest_ || PassOver(); });
    }
    EndPass();
    if (mode_ != PlayMode::Loop) break;
  }
  ReleaseImage();
  running_ = false;
  SignalPrimed();
}

void Mp3Stream::WakeThread() {
  if (servicing_ != Servicing::OwnThread) return;
  // Taking the lock orders the change before the thread's next look: it is either waiting and
  // woken, or has yet to look and sees the change.
  { std::lock_guard<std::mutex> lock(signalMutex_); }
  signal_.notify_all();
}

void Mp3Stream::Service() {
  if (servicing_ != Servicing::BeforeEachMix || !running_ || !PassOver()) return;
  EndPass();
  running_ = mode_ == PlayMode::Loop && BeginPass();
  if (!running_) ReleaseImage();
}

void Mp3Stream::ReleaseImage() {
  image_.clear();
  image_.shrink_to_fit();
}

bool Mp3Stream::NextChunk() {
  chunkLength_ = std::min(chunk_.size(), image_.size() - readPosition_);
  std::memcpy(chunk_.data(), image_.data() + readPosition_, chunkLength_);
  readPosition_ += chunkLength_;
  return chunkLength_ > 0;
}

void Mp3Stream::WriteBuffer(uintptr_t index, size_t bytes) {
  std::memcpy(buffers_[index].data(), block_.data(), bytes);
  outstanding_.fetch_add(1);
  source_->Enqueue(buffers_[index].data(), bytes / (sizeof(int16_t) * kMixChannels), index);
}

bool Mp3Stream::BeginPass() {
  decoder_.InitMp3();
  image_.clear();
  if (!ReadWholeFile(path_, image_)) {
    decoder_.ExitMp3();
    return false;
  }
  readPosition_ = 0;
  outstanding_ = 0;
  NextChunk();
  WaveFormatRecord format;
  // The decoder reads a whole chunk: a file shorter than one is padded with zeros.
  std::fill(chunk_.begin() + static_cast<std::ptrdiff_t>(chunkLength_), chunk_.end(), uint8_t{0});
  decoder_.GetWaveFormat(format, chunk_.data());
  source_ = std::make_shared<BufferQueueSource>([this](uintptr_t index) { RefillBuffer(index); });

  uintptr_t next = 0;
  size_t produced = 0;
  while (!stopRequest_ && chunkLength_ > 0 && next < kBufferCount) {
    Mp3DecodeResult result = decoder_.DecodeMp3(chunk_.data(), chunkLength_, block_.data(), block_.size(), &produced);
    while (result == Mp3DecodeResult::BlockReady && !stopRequest_ && next < kBufferCount) {
      WriteBuffer(next++, produced);
      if (next == kBufferCount) break;
      result = decoder_.DecodeMp3(nullptr, 0, block_.data(), block_.size(), &produced);
    }
    if (next == kBufferCount || stopRequest_) break;
    NextChunk();
  }
  // Playing before the voice starts: a buffer played at once is refilled, not dropped.
  playing_ = true;
  mixer_.Start(VoiceKind::Mp3, source_, PlayMode::Once);
  return true;
}

void Mp3Stream::EndPass() {
  // As a device reset does: stop playing and hand every queued buffer back.
  playing_ = false;
  mixer_.Stop(VoiceKind::Mp3);
  source_->ReleaseQueued();
  source_.reset();
  decoder_.ExitMp3();
}

void Mp3Stream::RefillBuffer(uintptr_t index) {
  outstanding_.fetch_sub(1);
  if (!playing_) {
    WakeThread();
    return;
  }
  size_t produced = 0;
  Mp3DecodeResult result = decoder_.DecodeMp3(nullptr, 0, block_.data(), block_.size(), &produced);
  while (result == Mp3DecodeResult::NeedMoreInput) {
    if (stopRequest_) return;
    if (!NextChunk()) {
      playing_ = false;
      WakeThread();
      return;
    }
    result = decoder_.DecodeMp3(chunk_.data(), chunkLength_, block_.data(), block_.size(), &produced);
  }
  if (!stopRequest_) WriteBuffer(index, produced);
}

}  // namespace velmio
