#pragma once
// ASCII helpers for scenario words and file names. Case folding touches A to Z only: a second
// byte of a Shift JIS character may fall in that range and must then be folded exactly the
// same way everywhere, so that a name found once is found again.
#include <string>
#include <string_view>

namespace velmio {

constexpr unsigned char LowerAsciiByte(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
constexpr unsigned char UpperAsciiByte(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

inline std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(c)));
  return lower;
}

inline std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(UpperAsciiByte(static_cast<unsigned char>(c)));
  return upper;
}

// Equal when the texts differ only in the case of A to Z.
inline bool EqualFoldingAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAsciiByte(static_cast<unsigned char>(a[i])) != LowerAsciiByte(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

constexpr bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit of either case; -1 for anything else.
constexpr int HexDigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace velmio
