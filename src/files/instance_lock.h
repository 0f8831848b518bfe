#pragma once
// Keeps a second copy of the program from running at the same time: a lock file in the per-user
// runtime folder, held with flock for the life of the process. A player's window takes one lock
// per user; headless runs (tests, an author's checks) take one per game folder instead, so that
// they never keep a player's window from starting and run beside one another.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmio {

enum class InstanceLockResult : uint8_t {
  Acquired,       // this process is the only one
  AlreadyRunning, // another process holds the lock
  Unavailable,    // no runtime folder or lock file (the program runs unguarded)
};

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock() { Release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // `name` is the lock's name; the file is "<runtime folder>/<name>.lock".
  InstanceLockResult Acquire(const std::string& name);
  // The lock of the current folder, named from its canonical path.
  InstanceLockResult AcquireForCurrentFolder();
  // Removes the lock file and lets go of the lock.
  void Release();

 private:
  int descriptor_ = -1;
  std::string path_;
};

// "game-<16 hexadecimal digits>": a hash of the folder's canonical path, so that every way of
// naming one folder (a relative path, a symbolic link) meets the same lock.
std::string FolderLockName(std::string_view canonicalPath);

// Removes the per-user runtime folder when nothing is left in it (recreating its path first if
// something removed it, so that the removal has a definite outcome).
void RemoveRuntimeFolderIfEmpty();

}  // namespace velmio
