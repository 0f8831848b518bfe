#pragma once
// What outlives a run besides the saves: the global variables ("gloval.sav") and the log of
// pictures already shown ("Velmflog.dat").
#include <cstdint>
#include <span>
#include <vector>

namespace velmio {

class PersistContext;
struct PictureLog;
class VariableStore;

constexpr char kGlobalsFile[] = "gloval.sav";
constexpr char kPictureLogFile[] = "Velmflog.dat";

// Variables 200 to 4095: an int and a NUL-ended string each, in order, nothing else.
std::vector<uint8_t> EncodeGlobals(const VariableStore& variables);
// Missing numbers read as 0 and missing strings as empty; strings are cut at 511 bytes.
void DecodeGlobals(std::span<const uint8_t> bytes, VariableStore& variables);

// "%d\n", then each name between double quotes with its bytes XORed with 0x3B.
std::vector<uint8_t> EncodePictureLog(const PictureLog& log);
// Adds the names of the file to the log; a malformed entry ends the reading there.
void DecodePictureLog(std::span<const uint8_t> bytes, PictureLog& log);

// Every initialisation cycle, before the definition block: the global variables from the file,
// or all 0 and empty when there is none.
void LoadGlobals(PersistContext& engine);
// After the definition block, when `filelog` ran.
void ReadPictureLog(PersistContext& engine);
// At the window's destruction: "gloval.sav" when `globalon` ran, "Velmflog.dat" when `filelog`
// ran. A file that cannot be written is reported on standard error; the run is ending anyway.
void SaveGlobals(PersistContext& engine);
void WritePictureLog(PersistContext& engine);

}  // namespace velmio
