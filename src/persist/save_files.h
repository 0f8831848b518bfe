#pragma once
// The numbered save files "save%d.dat": writing the snapshot to a slot, and loading a slot back
// into the running game.
#include <string>

namespace velmio {

class PersistContext;

enum class SlotOutcome : uint8_t { Done, Refused };

// "save3.dat" for slot 3.
std::string SaveFileName(int slot);
// True when the slot is within 1..20 and its file exists (where it would be read from).
bool SaveFileExists(int slot);

// Writes the snapshot to slot `slot` (1-based). A slot outside 1..20, a game with no snapshot
// yet, or a file that could be written nowhere is told to the player in a message box, and the
// slot's previous file is left as it was.
SlotOutcome SaveToSlot(PersistContext& engine, int slot);

// Loads slot `slot` and rebuilds the screen, the sound and the script position from it. A slot
// outside 1..20 or a file that cannot be read is told to the player and changes nothing. The
// caller abandons the command or line that was running (`loadRequest`).
SlotOutcome LoadFromSlot(PersistContext& engine, int slot);

}  // namespace velmio
