#include "files/picture_log.h"
#include "base/ascii.h"

namespace velmio {

std::string UpperCasePictureName(std::string_view name) {
  return UpperAscii(name);
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
