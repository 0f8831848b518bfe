#include "script/external_values.h"

#include <cstdlib>

#include "base/lines.h"
#include "files/file_reading.h"
#include "files/xdg_folders.h"
#include "script/script.h"

namespace velmio {
namespace {

constexpr size_t kMaxValueLength = 255;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Key paths may be written with either slash; the registry's separator is the backslash.
std::string NormaliseKeyPath(std::string_view key) {
  std::string path = LowerAscii(Trim(key));
  for (char& c : path)
    if (c == '/') c = '\\';
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string LookUp(const std::string& path, std::string_view section, std::string_view key,
                   bool sectionIsKeyPath) {
  std::string content;
  if (!ReadWholeFile(path, content)) return "";
  std::string wantedSection = sectionIsKeyPath ? NormaliseKeyPath(section) : LowerAscii(Trim(section));
  std::string wantedKey = LowerAscii(Trim(key));
  bool inSection = false;
  for (std::string_view line : SplitLines(content)) {
    std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      size_t close = text.find(']');
      std::string_view name = text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      inSection = (sectionIsKeyPath ? NormaliseKeyPath(name) : LowerAscii(Trim(name))) == wantedSection;
      continue;
    }
    if (!inSection) continue;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    if (LowerAscii(Trim(text.substr(0, equals))) != wantedKey) continue;
    std::string_view value = Trim(text.substr(equals + 1));
    if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                              (value.front() == '\'' && value.back() == '\''))) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
  }
  return "";
}

}  // namespace

std::string ReadRegistryValue(std::string_view key, std::string_view name) {
  return LookUp(ConfigFolder() + "registry.ini", key, name, true);
}

std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key) {
  std::string path(file);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.find('/') == std::string::npos) path = ConfigFolder() + path;
  return LookUp(path, section, key, false);
}

}  // namespace velmio
