#include "files/sound/mp3_decoder.h"

#include <algorithm>
#include <cstring>

#include "files/sound/decoded_sound.h"
#include "files/sound/mpg123_setup.h"

namespace velmio {

namespace {

// Enough for a block and the largest frame the converter can add to it (576 samples at 8 kHz
// become 3,175 frames at 44.1 kHz), so that decoding in the buffer callback does not allocate.
constexpr size_t kPendingCapacity = Mp3Decoder::kOutputBlockBytes / sizeof(int16_t) + 16384;

}  // namespace

Mp3Decoder::~Mp3Decoder() { ExitMp3(); }

void Mp3Decoder::InitMp3() {
  ExitMp3();
  handle_ = NewMpg123Handle();
  if (!handle_) return;
  // Feed buffers come from a pool instead of the heap once the stream runs.
  mpg123_param(handle_, MPG123_FEEDPOOL, 16, 0.0);
  mpg123_param(handle_, MPG123_FEEDBUFFER, static_cast<long>(kInputChunkBytes), 0.0);
  if (mpg123_open_feed(handle_) != MPG123_OK) {
    ExitMp3();
    return;
  }
  pending_.clear();
  pending_.reserve(kPendingCapacity);
  pendingOffset_ = 0;
}

void Mp3Decoder::GetWaveFormat(WaveFormatRecord& format, const uint8_t* firstChunk) const {
  format.formatTag = 1;  // PCM
  format.channels = kPcmChannels;
  format.samplesPerSecond = kPcmRate;
  format.bitsPerSample = 16;
  format.blockAlign = kPcmChannels * sizeof(int16_t);
  format.averageBytesPerSecond = kPcmRate * format.blockAlign;
  format.extraSize = 0;
}

bool Mp3Decoder::TakeFormat() {
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  formatKnown_ = mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK &&
                 converter_.Configure({SampleType::Short, SampleLayout::Interleaved, channels, static_cast<int>(rate)}).empty();
  channels_ = channels;
  return formatKnown_;
}

Mp3DecodeResult Mp3Decoder::DecodeMp3(const uint8_t* input, size_t inputLength, uint8_t* output, size_t outputSize,
                                      size_t* produced) {
  *produced = 0;
  if (!handle_) return Mp3DecodeResult::NeedMoreInput;
  if (input && inputLength > 0) mpg123_feed(handle_, input, inputLength);
  size_t blockBytes = outputSize / (kPcmChannels * sizeof(int16_t)) * (kPcmChannels * sizeof(int16_t));
  if (blockBytes == 0) return Mp3DecodeResult::NeedMoreInput;

  // Frames that decode to nothing (skipped for gapless playback) still consume input, but a
  // bound keeps a misbehaving stream from holding the caller here.
  for (int quietFrames = 0; PendingBytes() < blockBytes && quietFrames < 64;) {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    int result = mpg123_decode_frame(handle_, &frameNumber, &audio, &bytes);
    if (result == MPG123_NEW_FORMAT) {
      converter_.Flush(pending_);
      TakeFormat();
      ++quietFrames;
      continue;
    }
    if (result != MPG123_OK) break;  // more input needed, or junk mpg123 will resync over
    size_t before = pending_.size();
    if (formatKnown_ && bytes > 0) {
      const uint8_t* samples = audio;
      converter_.Convert(&samples, bytes / (sizeof(int16_t) * static_cast<size_t>(channels_)), pending_);
    }
    quietFrames = pending_.size() == before ? quietFrames + 1 : 0;
  }

  size_t count = std::min(blockBytes, PendingBytes());
  if (count == 0) return Mp3DecodeResult::NeedMoreInput;
  std::memcpy(output, pending_.data() + pendingOffset_, count);
  pendingOffset_ += count / sizeof(int16_t);
  if (pendingOffset_ == pending_.size()) {
    pending_.clear();
    pendingOffset_ = 0;
  } else if (pendingOffset_ > pending_.size() / 2) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(pendingOffset_));
    pendingOffset_ = 0;
  }
  *produced = count;
  return Mp3DecodeResult::BlockReady;
}

void Mp3Decoder::ExitMp3() {
  if (handle_) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
    handle_ = nullptr;
  }
  // What the resampler still holds belongs to this stream, not the next.
  converter_.Reset();
  formatKnown_ = false;
  pending_.clear();
  pendingOffset_ = 0;
}

}  // namespace velmio
