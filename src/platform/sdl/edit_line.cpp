#include "platform/sdl/edit_line.h"

namespace velmio {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the UTF-8 character starting with `lead`; 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

void EditLine::Insert(std::string_view typed) {
  std::string kept;
  for (size_t at = 0; at < typed.size();) {
    const unsigned char lead = static_cast<unsigned char>(typed[at]);
    size_t length = SequenceLength(lead);
    bool whole = length != 0 && at + length <= typed.size();
    for (size_t i = 1; whole && i < length; ++i) whole = IsContinuation(static_cast<unsigned char>(typed[at + i]));
    if (!whole) {
      ++at;
      continue;
    }
    if (!(length == 1 && (lead < 0x20 || lead == 0x7F))) kept.append(typed.substr(at, length));
    at += length;
  }
  text_.insert(caret_, kept);
  caret_ += kept.size();
}

size_t EditLine::Previous(size_t at) const {
  if (at == 0) return 0;
  do --at;
  while (at > 0 && IsContinuation(static_cast<unsigned char>(text_[at])));
  return at;
}

size_t EditLine::Next(size_t at) const {
  if (at >= text_.size()) return text_.size();
  do ++at;
  while (at < text_.size() && IsContinuation(static_cast<unsigned char>(text_[at])));
  return at;
}

void EditLine::Backspace() {
  const size_t start = Previous(caret_);
  text_.erase(start, caret_ - start);
  caret_ = start;
}

void EditLine::Delete() { text_.erase(caret_, Next(caret_) - caret_); }

void EditLine::Left() { caret_ = Previous(caret_); }

void EditLine::Right() { caret_ = Next(caret_); }

}  // namespace velmio
