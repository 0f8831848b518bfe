#pragma once
// The per-user folders of the XDG base directory scheme, where the program keeps what does not
// belong in a game folder. Each path ends with '/'.
#include <string>

namespace velmio {

// The folder for the program's temporary files (extracted archive members, converted sounds,
// lock files): $XDG_RUNTIME_DIR/velmio/, else /tmp/velmio-<uid>/. It is created with mode 0700
// on first use and must be a real folder owned by the user; otherwise, or when it cannot be
// made, the result is empty and nothing may be written.
std::string RuntimeFolder();

// The folder standing for the platform's configuration places: $XDG_CONFIG_HOME/velmio/ (else
// ~/.config/velmio/). Not created.
std::string ConfigFolder();

enum class FolderCreation : bool { No, Yes };

// Where the files of a read-only game folder go: $XDG_DATA_HOME/velmio/<game folder name>/
// (else ~/.local/share/velmio/...), named after the current folder. Empty when there is no such
// place, or when it is asked for and cannot be made.
std::string GameDataFolder(FolderCreation creation);

}  // namespace velmio
