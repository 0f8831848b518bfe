#include "graphics/display_tag.h"
#include "base/ascii.h"

#include <limits>

namespace velmio {
namespace {

class TagReader {
 public:
  explicit TagReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return position_ >= text_.size(); }
  char Current() const { return AtEnd() ? '\0' : text_[position_]; }
  void Advance() { ++position_; }
  size_t Position() const { return position_; }
  std::string_view Rest() const { return text_.substr(position_); }

  // A decimal number as the C library reads one (blanks, a sign, digits), leaving the position
  // after the digits. Values are saturated instead of overflowing.
  int32_t ReadDecimal() {
    size_t at = position_;
    while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t')) ++at;
    bool negative = false;
    if (at < text_.size() && (text_[at] == '-' || text_[at] == '+')) {
      negative = text_[at] == '-';
      ++at;
    }
    if (at >= text_.size() || text_[at] < '0' || text_[at] > '9') return 0;  // nothing read, nothing skipped
    int64_t value = 0;
    while (at < text_.size() && text_[at] >= '0' && text_[at] <= '9') {
      value = value * 10 + (text_[at] - '0');
      if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
      ++at;
    }
    position_ = at;
    return static_cast<int32_t>(negative ? -value : value);
  }

  // Skips up to and including the next ','. The ';' that ends the tag is never passed over:
  // a comma beyond it would belong to the file name.
  bool SkipPastComma() {
    while (!AtEnd() && Current() != ',' && Current() != ';') Advance();
    if (Current() != ',') return false;
    Advance();
    return true;
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

TagError ReadTransparencyLetter(TagReader& reader, DisplayTag& tag) {
  switch (reader.Current()) {
    case '!':
      reader.Advance();
      tag.setsMode = true;
      tag.mode = 2;
      tag.setsKeyIndex = true;
      tag.keyIndex = reader.ReadDecimal();
      return TagError::None;
    case '#': {
      std::string_view digits = reader.Rest().substr(1, 6);
      if (digits.size() < 6) return TagError::BadKeyColour;
      int32_t colour = 0;
      for (char c : digits) {
        int digit = HexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0) return TagError::BadKeyColour;
        colour = colour * 16 + digit;
      }
      for (int i = 0; i < 7; ++i) reader.Advance();
      tag.setsMode = true;
      tag.mode = 2;
      tag.setsKeyColour = true;
      tag.keyRed = (colour >> 16) & 0xFF;
      tag.keyGreen = (colour >> 8) & 0xFF;
      tag.keyBlue = colour & 0xFF;
      return TagError::None;
    }
    case 'a':
    case 'c':
    case 'l':
      tag.setsMode = true;
      tag.mode = reader.Current() == 'a' ? 1 : reader.Current() == 'c' ? 3 : 0;
      reader.Advance();
      return TagError::None;
    default:
      return TagError::None;
  }
}

// Reads "cells,interval,mode" or "cells,<i1,...,in>,mode" after the '/'.
TagError ReadAnimation(TagReader& reader, DisplayTag& tag) {
  tag.hasAnimation = true;
  tag.cells = reader.ReadDecimal();
  if (tag.cells < 1 || tag.cells > kMaxCells) return TagError::Malformed;
  if (!reader.SkipPastComma()) return TagError::Malformed;
  tag.intervals.clear();
  if (reader.Current() == '<') {
    reader.Advance();
    tag.interval = -1;
    tag.intervals.reserve(static_cast<size_t>(tag.cells));
    for (int32_t cell = 0; cell < tag.cells; ++cell) {
      tag.intervals.push_back(reader.ReadDecimal());
      if (tag.intervals.back() < 0) return TagError::Malformed;
      bool last = cell == tag.cells - 1;
      if (reader.AtEnd()) return TagError::Malformed;
      if (last && reader.Current() != '>') return TagError::Malformed;
      reader.Advance();
    }
  } else {
    // -1 would stand for a table that is not there.
    tag.interval = reader.ReadDecimal();
    if (tag.interval < 0) return TagError::Malformed;
  }
  if (!reader.SkipPastComma()) return TagError::Malformed;
  tag.animationMode = reader.ReadDecimal();
  if (tag.animationMode < 0 || tag.animationMode > 2) return TagError::Malformed;
  return TagError::None;
}

}  // namespace

TagParse ParsePictureDescriptor(std::string_view descriptor) {
  TagParse result;
  DisplayTag& tag = result.tag;
  if (descriptor.empty() || descriptor[0] != ':') {
    tag.fileName = std::string(descriptor);
    return result;
  }
  tag.hasTag = true;
  TagReader reader(descriptor);
  reader.Advance();
  while (reader.Current() == ' ' || reader.Current() == '\t') reader.Advance();
  result.error = ReadTransparencyLetter(reader, tag);
  if (result.error != TagError::None) return result;
  for (;;) {
    if (reader.AtEnd()) {
      result.error = TagError::Malformed;  // no ';' before the end
      return result;
    }
    char c = reader.Current();
    if (c == ';') break;
    reader.Advance();
    if (c == '/') {
      result.error = ReadAnimation(reader, tag);
      if (result.error != TagError::None) return result;
    }
  }
  reader.Advance();
  tag.fileName = std::string(reader.Rest());
  return result;
}

}  // namespace velmio
