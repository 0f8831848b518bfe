#include "files/xdg_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

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

std::string MakePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (!UsableFolder(path)) return {};
  return path + "/";
}

// $VARIABLE when it is an absolute path (relative ones are to be ignored), else $HOME/fallback.
std::string BaseFolder(const char* variable, const char* fallbackUnderHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/" + fallbackUnderHome;
  return {};
}

}  // namespace

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    std::string folder = MakePrivateFolder(std::string(runtime) + "/velmio");
    if (!folder.empty()) return folder;
  }
  return MakePrivateFolder("/tmp/velmio-" + std::to_string(getuid()));
}

std::string ConfigFolder() {
  std::string base = BaseFolder("XDG_CONFIG_HOME", ".config");
  return (base.empty() ? std::string("./.config") : base) + "/velmio/";
}

std::string GameDataFolder(FolderCreation creation) {
  std::string base = BaseFolder("XDG_DATA_HOME", ".local/share");
  if (base.empty()) return {};
  std::error_code error;
  std::string gameName = std::filesystem::current_path(error).filename().string();
  if (error || gameName.empty()) gameName = "game";
  std::filesystem::path folder = std::filesystem::path(base) / "velmio" / gameName;
  if (creation == FolderCreation::Yes) {
    std::filesystem::create_directories(folder, error);
    if (error) return {};
  }
  return folder.string() + "/";
}

}  // namespace velmio
