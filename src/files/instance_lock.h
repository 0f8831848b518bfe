#pragma once
// Keeps a second copy of the program from running at the same time for the same user: a lock
// file in the per-user runtime folder, held with flock for the life of the process.
#include <string>

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
  // Removes the lock file and lets go of the lock.
  void Release();

 private:
  int descriptor_ = -1;
  std::string path_;
};

// Removes the per-user runtime folder when nothing is left in it (recreating its path first if
// something removed it, so that the removal has a definite outcome).
void RemoveRuntimeFolderIfEmpty();

}  // namespace velmio
