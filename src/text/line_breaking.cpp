#include "text/line_breaking.h"

#include <string>

#include "base/encoding.h"

namespace velmio {
namespace {

const std::string& LineEndForbidden() {
  static const std::string characters = Sjis("（［｛「『");
  return characters;
}

const std::string& LineStartForbidden() {
  static const std::string characters = Sjis("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』");
  return characters;
}

}  // namespace

bool ContainsCharacter(std::string_view characters, CharacterCode code) {
  for (size_t at = 0; at + 1 < characters.size(); at += 2) {
    CharacterCode candidate = static_cast<CharacterCode>(static_cast<unsigned char>(characters[at]) << 8 |
                                                         static_cast<unsigned char>(characters[at + 1]));
    if (candidate == code) return true;
  }
  return false;
}

bool IsLineEndForbidden(CharacterCode code) { return ContainsCharacter(LineEndForbidden(), code); }
bool IsLineStartForbidden(CharacterCode code) { return ContainsCharacter(LineStartForbidden(), code); }

LookAhead ScanAhead(std::string_view text, size_t from) {
  LookAhead ahead;
  size_t at = from;
  for (size_t units = 0; units < kLookAheadUnits && at < text.size(); ++units) {
    unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte == 0) break;
    if (IsLeadByte(byte)) {
      if (at + 1 >= text.size() || text[at + 1] == 0) break;  // a lead byte without its pair
      ahead.characters[ahead.count++] =
          static_cast<CharacterCode>(byte << 8 | static_cast<unsigned char>(text[at + 1]));
      at += 2;
      continue;
    }
    if (ahead.count == 0 && (byte == '@' || byte == '\\')) ahead.waitFollows = true;
    ++at;
  }
  return ahead;
}

int TextBinding(const LookAhead& ahead) {
  int binding = 0;
  // c(k) is characters[k - 1].
  for (int k = 1; k < ahead.count; ++k) {
    if (!IsLineEndForbidden(ahead.characters[k - 1]) && !IsLineStartForbidden(ahead.characters[k])) break;
    ++binding;
  }
  return binding;
}

int MenuBinding(const LookAhead& ahead) {
  int binding = 0;
  for (;;) {
    int m = binding + 1;
    if (ahead.count - m + 1 < 2) break;  // c(m) and c(m + 1) are both needed
    int step = (IsLineEndForbidden(ahead.characters[m - 1]) ? 1 : 0) +
               (IsLineStartForbidden(ahead.characters[m]) ? 1 : 0);
    if (step == 0) break;
    binding += step;
  }
  return binding;
}

}  // namespace velmio
