#include "files/game_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "files/xdg_folders.h"

namespace velmio {
namespace {

bool GameFolderWritable() { return access(".", W_OK) == 0; }

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
  std::string folder = GameDataFolder(FolderCreation::No);
  if (!folder.empty() && access((folder + local).c_str(), F_OK) == 0) return folder + local;
  return local;
}

std::string PathForNewGameFile(std::string_view name) {
  if (GameFolderWritable()) return std::string(name);
  std::string folder = GameDataFolder(FolderCreation::Yes);
  return folder.empty() ? folder : folder + std::string(name);
}

bool WriteGameFile(std::string_view name, std::span<const uint8_t> bytes) {
  std::string local(name);
  if (GameFolderWritable() && ReplaceFile(local, bytes)) return true;
  std::string folder = GameDataFolder(FolderCreation::Yes);
  return !folder.empty() && ReplaceFile(folder + local, bytes);
}

}  // namespace velmio
