#include "base/encoding.h"

#include <algorithm>
#include <cstdint>

namespace velmio {
namespace {

#include "base/cp932_table.inc"

constexpr char kUnconvertible = '?';
constexpr uint32_t kFirstHalfWidthKatakana = 0xFF61;

void AppendUtf8(std::string& out, uint32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

// The code point of the well-formed UTF-8 sequence at text[index], and its length; length 0 for
// a malformed one (stray continuation byte, overlong form, surrogate, cut short).
struct Utf8Character {
  uint32_t point = 0;
  size_t length = 0;
};

Utf8Character ReadUtf8(std::string_view text, size_t index) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char first = byte(index);
  size_t length = 0;
  uint32_t point = 0;
  uint32_t smallest = 0;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2, point = first & 0x1F, smallest = 0x80;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, point = first & 0x0F, smallest = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, point = first & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (text.size() - index < length) return {};
  for (size_t k = 1; k < length; ++k) {
    if ((byte(index + k) & 0xC0) != 0x80) return {};
    point = point << 6 | (byte(index + k) & 0x3F);
  }
  if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {};
  return {point, length};
}

int LeadRow(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1); }

// A byte that is a character by itself, from 0x80 up: half-width katakana; 0 for the others.
uint32_t HighSingleByteCodePoint(unsigned char byte) {
  return byte >= 0xA1 && byte <= 0xDF ? kFirstHalfWidthKatakana + byte - 0xA1 : 0;
}

uint16_t DoubleByteCodePoint(unsigned char lead, unsigned char trailByte) {
  const int trail = trailByte - kFirstTrailByte;
  return trail >= 0 && trail < kTrailBytesPerLead ? kDoubleByteToUnicode[LeadRow(lead) * kTrailBytesPerLead + trail] : 0;
}

}  // namespace

char32_t ShiftJisCodePoint(std::string_view character) {
  if (character.empty()) return 0;
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first < 0x80 ? first : HighSingleByteCodePoint(first);
  return character.size() == 2 && IsLeadByte(first) ? DoubleByteCodePoint(first, static_cast<unsigned char>(character[1])) : 0;
}

// An invalid pair (a lead byte and a byte that cannot follow it) becomes one '?' for both bytes,
// a lone byte that is no character one '?' for itself.
std::string ShiftJisToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 2);
  for (size_t index = 0; index < text.size();) {
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++index;
      continue;
    }
    const bool pair = IsLeadByte(byte) && index + 1 < text.size();
    const uint32_t point = pair ? DoubleByteCodePoint(byte, static_cast<unsigned char>(text[index + 1]))
                                : HighSingleByteCodePoint(byte);
    if (point != 0) {
      AppendUtf8(out, point);
    } else {
      out += kUnconvertible;
    }
    index += pair ? 2 : 1;
  }
  return out;
}

// A malformed UTF-8 byte becomes one '?'; a well-formed character the code page lacks becomes
// one '?' for the whole character.
std::string Utf8ToShiftJis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t index = 0; index < text.size();) {
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++index;
      continue;
    }
    const Utf8Character character = ReadUtf8(text, index);
    if (character.length == 0) {
      out += kUnconvertible;
      ++index;
      continue;
    }
    index += character.length;
    const auto* end = std::end(kUnicodeToCode);
    const auto* found = std::lower_bound(std::begin(kUnicodeToCode), end, character.point,
                                         [](const UnicodeToCode& entry, uint32_t point) { return entry.point < point; });
    if (found == end || found->point != character.point) {
      out += kUnconvertible;
    } else if (found->code > 0xFF) {
      out += static_cast<char>(found->code >> 8);
      out += static_cast<char>(found->code & 0xFF);
    } else {
      out += static_cast<char>(found->code);
    }
  }
  return out;
}

}  // namespace velmio
