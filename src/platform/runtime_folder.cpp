#include "platform/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace velmio {
namespace {

// A folder we may write into: not a symbolic link, ours, and closed to everyone else.
bool UsableFolder(const std::string& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return false;
  if (!S_ISDIR(status.st_mode) || status.st_uid != getuid()) return false;
  if ((status.st_mode & 0077) != 0 && chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

std::string MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (!UsableFolder(path)) return {};
  return path + "/";
}

}  // namespace

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    std::string folder = MakeFolder(std::string(runtime) + "/velmio");
    if (!folder.empty()) return folder;
  }
  return MakeFolder("/tmp/velmio-" + std::to_string(getuid()));
}

}  // namespace velmio
