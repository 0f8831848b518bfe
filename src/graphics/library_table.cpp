#include "graphics/library_table.h"

#include "files/game_file_lookup.h"

namespace velmio {

LoadedLibrary* LibraryTable::FindOrLoad(std::string_view name) {
  for (int i = 0; i < used_; ++i)
    if (slots_[i].name == name) return &slots_[i];
  if (used_ == kLibrarySlotCount) return nullptr;
  LoadedLibrary& slot = slots_[used_++];
  slot.name = std::string(name);
  // Only a file of the game folder is loaded, never one the system's search path happens to hold.
  std::string path = LocateGameFile(name);
  if (!path.empty()) slot.native = SharedLibrary::Open(path);
  return &slot;
}

}  // namespace velmio
