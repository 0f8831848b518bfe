#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/sound/decoded_sound.h"

namespace velmio {

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatFloat = 3;
inline constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// The format and sound data of a RIFF WAVE file, found without trusting any size in it: a chunk
// that claims more bytes than the file holds is cut to what is there.
struct WaveHeader {
  uint16_t formatTag = 0;  // of the sub-format, for an extensible header
  int channels = 0;
  int rate = 0;
  int bitsPerSample = 0;
  int blockAlign = 0;
  std::span<const uint8_t> data;  // inside the file; whole blocks only for PCM and float
};

struct WaveParse {
  WaveHeader header;
  std::string error;  // empty when the header was understood
  bool Ok() const { return error.empty(); }
};

bool IsRiffWave(std::span<const uint8_t> file);
WaveParse ParseWave(std::span<const uint8_t> file);

// The whole file as 44.1 kHz stereo 16-bit. PCM of 8, 16, 24 and 32 bits and 32- and 64-bit
// float are converted here, MP3 data goes to libmpg123, other encodings (ADPCM, a-law, mu-law,
// GSM...) through libsndfile. `name` is what error messages call the file.
DecodedSound DecodeWave(std::span<const uint8_t> file, std::string_view name);

}  // namespace velmio
