#pragma once
#include <string>
#include <string_view>

namespace velmio {

// The engine keeps all text in Shift JIS (code page 932); logs, message boxes and source
// literals are UTF-8. Bytes that do not convert are replaced by '?' rather than dropped, so
// a broken scenario string still shows where it went wrong.
std::string ShiftJisToUtf8(std::string_view text);
std::string Utf8ToShiftJis(std::string_view text);

// The code point of one Shift JIS character (one byte, or a lead byte and its trail byte);
// 0 when the bytes are no character.
char32_t ShiftJisCodePoint(std::string_view character);

// A source literal as engine text.
inline std::string Sjis(std::string_view utf8) { return Utf8ToShiftJis(utf8); }

// True for a byte that starts a two-byte Shift JIS character.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace velmio
