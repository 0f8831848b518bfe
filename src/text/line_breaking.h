#pragma once
// Japanese line breaking: the look-ahead over the text that follows a typed character, and how
// many of the following characters must stay on the line with it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmio {

// A two-byte character as first byte * 256 + second byte.
using CharacterCode = uint16_t;

constexpr size_t kLookAheadUnits = 128;

struct LookAhead {
  std::array<CharacterCode, kLookAheadUnits> characters{};  // c1, c2, ... in order
  int count = 0;
  bool waitFollows = false;  // a click-wait or page-wait mark comes before c1
};

// Scans at most 128 units of `text` from `from` (a unit is one byte, or a lead byte and the byte
// after it), stopping at a zero byte or the end: collects the two-byte characters and notes a
// wait mark before the first of them. Never reads past `text`.
LookAhead ScanAhead(std::string_view text, size_t from);

// Characters that must not end a line ("（［｛「『") or start one ("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』").
bool IsLineEndForbidden(CharacterCode code);
bool IsLineStartForbidden(CharacterCode code);

// How many following characters are bound to the one just typed, by the story-text rule: one
// for every c(k) that must not end a line or c(k+1) that must not start one, from k = 1 on.
int TextBinding(const LookAhead& ahead);

// The same for menu texts: each step adds one for c(m) that must not end a line and one more
// for c(m+1) that must not start one, from m = binding + 1; so an empty pair of brackets binds
// one character more than in story text.
int MenuBinding(const LookAhead& ahead);

// True when `code` is one of the two-byte characters of `characters`, compared two bytes at a
// time from the start.
bool ContainsCharacter(std::string_view characters, CharacterCode code);

}  // namespace velmio
