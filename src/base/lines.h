#pragma once
#include <string_view>
#include <vector>

namespace velmio {

// The lines of `text`, split at each line feed, as std::getline reads them: a carriage return
// stays at the end of its line, and a final line feed does not start an empty line.
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace velmio
