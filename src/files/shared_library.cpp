#include "files/shared_library.h"

#include <dlfcn.h>

namespace velmio {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path) {
  if (path.empty()) return nullptr;
#ifdef __EMSCRIPTEN__
  // A page cannot load native code: every plug-in falls back to the built-in provider.
  return nullptr;
#endif
  std::string located = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(located.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace velmio
