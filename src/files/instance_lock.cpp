#include "files/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "files/xdg_folders.h"

namespace velmio {

InstanceLockResult InstanceLock::Acquire(const std::string& name) {
  Release();
  std::string folder = RuntimeFolder();
  if (folder.empty()) return InstanceLockResult::Unavailable;
  std::string path = folder + name + ".lock";
  int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor < 0) return InstanceLockResult::Unavailable;
  while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    bool held = errno == EWOULDBLOCK;
    close(descriptor);
    return held ? InstanceLockResult::AlreadyRunning : InstanceLockResult::Unavailable;
  }
  descriptor_ = descriptor;
  path_ = std::move(path);
  return InstanceLockResult::Acquired;
}

InstanceLockResult InstanceLock::AcquireForCurrentFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::canonical(".", error);
  if (error) return InstanceLockResult::Unavailable;
  return Acquire(FolderLockName(folder.string()));
}

std::string FolderLockName(std::string_view canonicalPath) {
  // FNV-1a: stable across builds and machines, unlike std::hash.
  uint64_t hash = 0xCBF29CE484222325u;
  for (unsigned char c : canonicalPath) hash = (hash ^ c) * 0x100000001B3u;
  char name[32];
  std::snprintf(name, sizeof name, "game-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

void InstanceLock::Release() {
  if (descriptor_ < 0) return;
  // Unlinked while still held: in the other order a program starting in between could lock the
  // old file just before it disappears, and a third one would then lock a new file beside it.
  unlink(path_.c_str());
  close(descriptor_);
  descriptor_ = -1;
  path_.clear();
}

void RemoveRuntimeFolderIfEmpty() {
  std::string folder = RuntimeFolder();
  if (!folder.empty()) rmdir(folder.c_str());
}

}  // namespace velmio
