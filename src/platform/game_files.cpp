#include "platform/game_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace velmio {
namespace {

bool GameFolderWritable() { return access(".", W_OK) == 0; }

// $XDG_DATA_HOME/velmio/<game folder name>/, created on demand; empty when there is none.
std::string DataFolder(bool create) {
  std::string base;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else if (home != nullptr && home[0] == '/') {
    base = std::string(home) + "/.local/share";
  } else {
    return {};
  }
  std::error_code error;
  std::string gameName = std::filesystem::current_path(error).filename().string();
  if (error || gameName.empty()) gameName = "game";
  std::filesystem::path folder = std::filesystem::path(base) / "velmio" / gameName;
  if (create) {
    std::filesystem::create_directories(folder, error);
    if (error) return {};
  }
  return folder.string() + "/";
}

bool WriteAll(int descriptor, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

bool ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::string temporary = path + ".tmp" + std::to_string(getpid());
  int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) return false;
  bool written = WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
  written = close(descriptor) == 0 && written;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string GameFileForReading(std::string_view name) {
  std::string local(name);
  if (GameFolderWritable()) return local;
  std::string folder = DataFolder(false);
  if (!folder.empty() && access((folder + local).c_str(), F_OK) == 0) return folder + local;
  return local;
}

std::string PathForNewGameFile(std::string_view name) {
  if (GameFolderWritable()) return std::string(name);
  std::string folder = DataFolder(true);
  return folder.empty() ? folder : folder + std::string(name);
}

bool WriteGameFile(std::string_view name, std::span<const uint8_t> bytes) {
  std::string local(name);
  if (GameFolderWritable() && ReplaceFile(local, bytes)) return true;
  std::string folder = DataFolder(true);
  return !folder.empty() && ReplaceFile(folder + local, bytes);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.clear();
  uint8_t buffer[65536];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  bool ok = ferror(file) == 0;
  fclose(file);
  return ok;
}

}  // namespace velmio
