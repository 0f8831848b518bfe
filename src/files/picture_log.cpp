#include "files/picture_log.h"

namespace velmio {

std::string UpperCasePictureName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return upper;
}

bool PictureLogged(const PictureLog& log, std::string_view name) {
  return log.index.count(UpperCasePictureName(name)) != 0;
}

void LogPicture(PictureLog& log, std::string_view name) {
  if (!log.enabled || name.size() > kMaxPictureLogNameLength) return;
  if (log.names.size() >= kMaxPictureLogEntries) return;
  std::string upper = UpperCasePictureName(name);
  if (!log.index.insert(upper).second) return;
  log.names.push_back(std::move(upper));
}

}  // namespace velmio
