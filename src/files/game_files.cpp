#include "files/game_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/warning.h"
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

// In a browser the files live in memory and only a copy in the page's storage survives a reload:
// each write is copied there at once (the page runs one copy at a time).
void KeepInBrowserStorage() {
#ifdef __EMSCRIPTEN__
  MAIN_THREAD_ASYNC_EM_ASM({
    if (Module.velmioPersist) Module.velmioPersist();
  });
#endif
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
  KeepInBrowserStorage();
  return true;
}

}  // namespace

std::string GameFileForReading(std::string_view name) {
  std::string local(name);
  std::string folder = GameDataFolder(FolderCreation::No);
  if (folder.empty()) return local;
  // A write that failed in the game folder (a full disk) went to the data folder, leaving the old
  // copy beside the game: the newer of the two is the one last written.
  std::string data = folder + local;
  struct stat localStatus, dataStatus;
  if (stat(data.c_str(), &dataStatus) != 0 || !S_ISREG(dataStatus.st_mode)) return local;
  if (stat(local.c_str(), &localStatus) != 0 || !S_ISREG(localStatus.st_mode) || !GameFolderWritable()) return data;
  const timespec& a = localStatus.st_mtim;
  const timespec& b = dataStatus.st_mtim;
  // The data copy is written only when the game folder failed, so on a tie (timestamps are as
  // coarse as the kernel's tick) it is the later one.
  bool localNewer = a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
  return localNewer ? local : data;
}

std::string PathForNewGameFile(std::string_view name) {
  if (GameFolderWritable()) return std::string(name);
  std::string folder = GameDataFolder(FolderCreation::Yes);
  return folder.empty() ? folder : folder + std::string(name);
}

std::optional<std::time_t> LastWriteTime(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return status.st_mtime;
}

bool WriteGameFile(std::string_view name, std::span<const uint8_t> bytes) {
  std::string local(name);
  const bool gameFolderWritable = GameFolderWritable();
  if (gameFolderWritable) {
    if (ReplaceFile(local, bytes)) return true;
    Warn("cannot write " + local + " in the game folder: " + std::strerror(errno));
  }
  std::string folder = GameDataFolder(FolderCreation::Yes);
  if (!folder.empty() && ReplaceFile(folder + local, bytes)) {
    if (gameFolderWritable) Warn("wrote " + local + " to " + folder + " instead");
    return true;
  }
  Warn("cannot write " + local + " anywhere" + (folder.empty() ? "" : std::string(": ") + std::strerror(errno)));
  return false;
}

}  // namespace velmio
