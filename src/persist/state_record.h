#pragma once
// The state record of a saved game: every field the save file holds, walked by one routine in
// both directions. Written into the snapshot at page starts; read back from a save file.
#include <cstdint>
#include <span>
#include <vector>

namespace velmio {

class PersistContext;

// Brings the snapshot up to date with the live state. No allocation once the buffer has grown
// to fit.
void TakeSnapshot(PersistContext& engine);

// The record of the live state written whole, from nothing: what the snapshot must equal after
// TakeSnapshot, however little of it that rewrote.
std::vector<uint8_t> WholeStateRecord(PersistContext& engine);

// Replaces the live state with the record in `bytes`. A short record leaves the missing numbers
// 0 and the missing strings empty; over-long strings are cut; values that would point outside
// the scenario or the tables are brought back inside them.
void ReadStateRecord(PersistContext& engine, std::span<const uint8_t> bytes);

}  // namespace velmio
