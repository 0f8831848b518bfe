// Feeds arbitrary bytes to the WAVE reader (our own parser, and libsndfile behind it for the
// compressed encodings) and checks that the data found lies inside the input and that what
// comes back is whole stereo frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/sound/wave_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  std::span<const uint8_t> bytes(data, size);
  WaveParse parse = ParseWave(bytes);
  if (parse.Ok()) {
    const WaveHeader& header = parse.header;
    if (header.data.data() < data || header.data.data() + header.data.size() > data + size) std::abort();
  }
  DecodedSound sound = DecodeWave(bytes, "fuzz.wav");
  if (sound.samples.size() % 2 != 0 || (!sound.Ok() && !sound.samples.empty())) std::abort();
  return 0;
}
