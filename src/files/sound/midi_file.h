#pragma once
#include <cstdint>
#include <span>

namespace velmio {

// The standard MIDI file in `bytes`: the file itself, or the data chunk of an RMID file; empty
// when it is neither.
std::span<const uint8_t> FindMidiData(std::span<const uint8_t> bytes);

}  // namespace velmio
