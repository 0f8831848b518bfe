#include "files/game_file_lookup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/ascii.h"
#include "base/encoding.h"

namespace velmio {
namespace {

namespace fs = std::filesystem;

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// Backslashes that separate folders become slashes; the second byte of a two-byte character is
// never taken for one.
std::string WithSlashes(std::string_view name) {
  std::string result;
  result.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) {
      result.push_back(name[i]);
      result.push_back(name[++i]);
      continue;
    }
    result.push_back(c == '\\' ? '/' : name[i]);
  }
  return result;
}

// Walks the components of `name` (already with slashes), matching each one in its folder.
std::string LocateIgnoringCase(const std::string& name) {
  std::vector<std::string> components;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (end > start) components.push_back(name.substr(start, end - start));
    start = end + 1;
  }
  if (components.empty()) return {};
  fs::path current = name[0] == '/' ? fs::path("/") : fs::path(".");
  for (const std::string& component : components) {
    if (component == "." || component == "..") {
      current /= component;
      continue;
    }
    const std::string utf8 = ShiftJisToUtf8(component);
    fs::path next;
    std::error_code error;
    for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
      std::string entry = it->path().filename().string();
      if (EqualFoldingAscii(entry, component) || EqualFoldingAscii(entry, utf8)) {
        next = it->path();
        break;
      }
    }
    if (next.empty()) return {};
    current = next;
  }
  return IsRegularFile(current) ? current.string() : std::string();
}

}  // namespace

std::string LocateGameFile(std::string_view name) {
  if (name.empty()) return {};
  std::string path = WithSlashes(name);
  if (IsRegularFile(path)) return path;
  std::string utf8 = ShiftJisToUtf8(path);
  if (utf8 != path && IsRegularFile(utf8)) return utf8;
  return LocateIgnoringCase(path);
}

}  // namespace velmio
