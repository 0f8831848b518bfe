#pragma once
#include <string>

namespace velmio {

// The per-user folder for the program's temporary files (extracted archive members, converted
// sounds, lock files): $XDG_RUNTIME_DIR/velmio/, else /tmp/velmio-<uid>/. It is created with mode
// 0700 on first use and must be a real folder owned by the user; otherwise, or when it cannot be
// made, the result is empty and nothing may be written. The path ends with '/'.
std::string RuntimeFolder();

}  // namespace velmio
