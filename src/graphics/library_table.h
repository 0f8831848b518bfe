#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "files/shared_library.h"

namespace velmio {

constexpr int kLibrarySlotCount = 256;

// One library named by the scenario. `native` is null when the name does not load as a native
// shared object (a Windows plug-in, a missing file): the built-in provider for the extension it
// was registered with stands in for it.
struct LoadedLibrary {
  std::string name;
  std::unique_ptr<SharedLibrary> native;
};

// The loaded-library table shared by picture plug-ins, archive plug-ins and the MP3 decoder:
// each name is loaded once, found again by exact comparison, and kept until the program ends.
class LibraryTable {
 public:
  // The slot for `name`, loading it into the first free slot when it is new; null when all
  // slots are taken.
  LoadedLibrary* FindOrLoad(std::string_view name);
  int Used() const { return used_; }

 private:
  std::array<LoadedLibrary, kLibrarySlotCount> slots_;
  int used_ = 0;
};

}  // namespace velmio
