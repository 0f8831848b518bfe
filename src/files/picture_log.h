#pragma once
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace velmio {

constexpr size_t kMaxPictureLogEntries = 4000;
constexpr size_t kMaxPictureLogNameLength = 511;

// Names of the pictures already shown, upper-cased byte by byte (a to z only), for `fchk`.
struct PictureLog {
  bool enabled = false;  // switched on by `filelog`
  std::vector<std::string> names;  // in the order first shown
  std::unordered_set<std::string> index;
};

std::string UpperCasePictureName(std::string_view name);
bool PictureLogged(const PictureLog& log, std::string_view name);
// Records the name when the log is on. Beyond 4000 names, or for names longer than 511 bytes,
// nothing more is recorded: the file format cannot hold them.
void LogPicture(PictureLog& log, std::string_view name);

}  // namespace velmio
