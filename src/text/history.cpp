#include "text/history.h"

#include <algorithm>
#include <cstring>

#include "base/encoding.h"

namespace velmio {

History::History() : bytes_(kCapacity, 0) {}

void History::Clear() {
  ++revision_;
  position_ = 0;
  pageCount_ = 0;
  bytes_[0] = 0;
}

void History::AppendCharacter(uint8_t first, uint8_t second) {
  if (position_ + 2 > kCapacity) Clear();
  ++revision_;
  bytes_[position_] = first;
  bytes_[position_ + 1] = second;
  position_ += 2;
  if (position_ > kCapacity - 1) Clear();
}

// Single bytes follow the same rule as characters: the position always stays below the
// capacity, so a reader's terminating zero always fits.
void History::AppendByte(uint8_t byte) {
  ++revision_;
  bytes_[position_] = byte;
  position_ += 1;
  if (position_ > kCapacity - 1) Clear();
}

void History::AppendLineEnd() { AppendByte(kLineEnd); }

void History::AppendPageMark() {
  AppendByte(kPageMark);
  if (position_ == 0) return;  // the mark filled the buffer and emptied it
  ++revision_;
  if (++pageCount_ > kMaxPages) DropOldestPage();
}

void History::DropOldestPage() {
  size_t at = 0;
  while (at < position_) {
    uint8_t byte = bytes_[at];
    if (IsLeadByte(byte)) {
      at += 2;
      continue;
    }
    ++at;
    if (byte == kPageMark) break;
  }
  if (at > position_) at = position_;
  std::memmove(bytes_.data(), bytes_.data() + at, position_ - at);
  position_ -= at;
  pageCount_ = kMaxPages;
}

void History::Restore(std::string_view text, int32_t position, int32_t pageCount) {
  ++revision_;
  const size_t length = std::min(text.size(), kCapacity - 1);
  std::memcpy(bytes_.data(), text.data(), length);
  position_ = std::min(static_cast<size_t>(std::max(position, 0)), length);
  pageCount_ = std::clamp(pageCount, 0, kMaxPages);
  bytes_[position_] = 0;
}

const uint8_t* History::Terminated() {
  bytes_[position_] = 0;
  return bytes_.data();
}

}  // namespace velmio
