#include "base/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace velmio {
namespace {

std::string Convert(const char* to, const char* from, std::string_view text, size_t unitOnError) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  out.resize(text.size() * 2 + 16);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  size_t outUsed = 0;
  while (inLeft > 0) {
    char* outPointer = out.data() + outUsed;
    size_t outLeft = out.size() - outUsed;
    size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
    outUsed = out.size() - outLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // Invalid or truncated sequence: mark it and go on after it.
    size_t skip = std::min(inLeft, unitOnError);
    if (errno == EILSEQ && from[0] == 'C' && skip > 1 &&
        !IsLeadByte(static_cast<unsigned char>(*in))) {
      skip = 1;
    }
    in += skip;
    inLeft -= skip;
    if (out.size() - outUsed < 4) out.resize(out.size() * 2);
    out[outUsed++] = '?';
  }
  out.resize(outUsed);
  iconv_close(converter);
  return out;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view text) { return Convert("UTF-8", "CP932", text, 2); }
std::string Utf8ToShiftJis(std::string_view text) { return Convert("CP932", "UTF-8", text, 1); }

}  // namespace velmio
