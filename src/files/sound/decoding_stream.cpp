#include "files/sound/decoding_stream.h"

#include <algorithm>
#include <cstring>

namespace velmio {

bool DecodingStream::Fail(const std::string& problem) {
  error_ = name_ + ": " + problem;
  return false;
}

size_t DecodingStream::Read(int16_t* out, size_t frames) {
  // A file that decodes to nothing piece after piece (junk the library keeps skipping) still ends.
  constexpr int kEmptyPiecesLimit = 4096;
  int emptyPieces = 0;
  size_t done = 0;
  while (done < frames) {
    if (pendingOffset_ == pending_.size()) {
      pending_.clear();
      pendingOffset_ = 0;
      if (ended_) break;
      if (!DecodeMore(pending_)) {
        converter_.Flush(pending_);
        ended_ = true;
      } else if (pending_.empty() && ++emptyPieces > kEmptyPiecesLimit) {
        Fail("no sound could be decoded");
        ended_ = true;
      }
      continue;
    }
    size_t count = std::min(frames - done, (pending_.size() - pendingOffset_) / kPcmChannels);
    std::memcpy(out + done * kPcmChannels, pending_.data() + pendingOffset_, count * kPcmChannels * sizeof(int16_t));
    pendingOffset_ += count * kPcmChannels;
    done += count;
  }
  return done;
}

bool DecodingStream::Rewind() {
  pending_.clear();
  pendingOffset_ = 0;
  converter_.Reset();
  if (!SeekToStart()) {
    ended_ = true;
    return false;
  }
  error_.clear();
  ended_ = false;
  return true;
}

}  // namespace velmio
