#include "files/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace velmio {
namespace {

template <typename Buffer>
bool ReadRegularFile(const std::string& path, Buffer& content, size_t limit) {
  content.clear();
  int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return false;
  }
  const size_t wanted = limit + 1;
  if (status.st_size > 0) content.reserve(std::min(wanted, static_cast<size_t>(status.st_size)));
  char buffer[65536];
  bool ok = true;
  while (content.size() < wanted) {
    ssize_t count = read(descriptor, buffer, std::min(sizeof buffer, wanted - content.size()));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) ok = false;
    if (count <= 0) break;
    content.insert(content.end(), buffer, buffer + count);
  }
  close(descriptor);
  return ok;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
  return ReadRegularFile(path, bytes, limit);
}

bool ReadWholeFile(const std::string& path, std::string& text, size_t limit) {
  return ReadRegularFile(path, text, limit);
}

int OpenRegularFile(const std::string& path) {
  int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat status;
  int flags = fcntl(descriptor, F_GETFL);
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0 ||
      fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(descriptor);
    return -1;
  }
  return descriptor;
}

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string CurrentFolderPath() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string(".") : folder.string();
}

}  // namespace velmio
