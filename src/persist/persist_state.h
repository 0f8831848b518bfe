#pragma once
// The state of saving and loading: the save-point snapshot, slot settings, global variables.

namespace velmio {

struct PersistState {};

}  // namespace velmio
