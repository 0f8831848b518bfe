#pragma once
#include <memory>
#include <string>

namespace velmio {

// A native shared object loaded at run time (a plug-in named by the scenario).
class SharedLibrary {
 public:
  // Loads `path`; a name without a folder is looked up in the game folder, not in the system's
  // library path. Null when it is not a loadable shared object for this machine (a Windows DLL,
  // a missing file...).
  static std::unique_ptr<SharedLibrary> Open(const std::string& path);

  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The exported symbol, or null.
  void* Symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace velmio
