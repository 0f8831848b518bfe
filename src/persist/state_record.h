#pragma once
// The state record of a saved game: every field the save file holds, walked by one routine in
// both directions. Written into the snapshot at page starts; read back from a save file.
#include <cstdint>
#include <span>

namespace velmio {

class PersistContext;

// Rewrites the snapshot with the live state. No allocation once the buffer has grown to fit.
void TakeSnapshot(PersistContext& engine);

// Replaces the live state with the record in `bytes`. A short record leaves the missing numbers
// 0 and the missing strings empty; over-long strings are cut; values that would point outside
// the scenario or the tables are brought back inside them.
void ReadStateRecord(PersistContext& engine, std::span<const uint8_t> bytes);

}  // namespace velmio
