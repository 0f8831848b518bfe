#include "graphics/file_names.h"

#include "base/encoding.h"
#include "script/script.h"

namespace velmio {

std::string_view BaseName(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c)) {
      ++i;
      continue;
    }
    if (c == '/' || c == '\\') start = i + 1;
  }
  return path.substr(start < path.size() ? start : path.size());
}

std::string PictureExtension(std::string_view path) {
  std::string_view base = BaseName(path);
  size_t dot = base.find('.');
  if (dot == std::string_view::npos) return {};
  return LowerAscii(base.substr(dot + 1));
}

}  // namespace velmio
