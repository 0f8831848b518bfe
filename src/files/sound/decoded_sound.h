#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

// What every decoder here delivers: signed 16-bit stereo, left then right, at 44,100 Hz.
inline constexpr int kPcmRate = 44100;
inline constexpr int kPcmChannels = 2;

// A sound decoded whole, or why it could not be: `error` is UTF-8 and names the file.
struct DecodedSound {
  std::vector<int16_t> samples;
  std::string error;

  bool Ok() const { return error.empty(); }
  size_t Frames() const { return samples.size() / kPcmChannels; }
};

}  // namespace velmio
