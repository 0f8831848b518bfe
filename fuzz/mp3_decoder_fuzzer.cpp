// Feeds arbitrary bytes through the MP3 decoder's four-call contract as the MP3 stream does, in
// chunks whose size the first byte chooses, and checks every block and that decoding always
// comes back for more input instead of producing blocks for ever.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/sound/mp3_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  if (size == 0) return 0;
  size_t chunk = 1 + static_cast<size_t>(data[0]) * Mp3Decoder::kInputChunkBytes / 256;
  data += 1;
  size -= 1;
  static Mp3Decoder decoder;
  decoder.InitMp3();
  WaveFormatRecord format;
  decoder.GetWaveFormat(format, data);
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  for (size_t position = 0; position < size; position += chunk) {
    size_t length = std::min(chunk, size - position);
    size_t produced = 0;
    Mp3DecodeResult result = decoder.DecodeMp3(data + position, length, block.data(), block.size(), &produced);
    // Each input byte decodes to a bounded amount of sound; far more blocks means a loop.
    for (int blocks = 0; result == Mp3DecodeResult::BlockReady; ++blocks) {
      if (produced == 0 || produced > block.size() || produced % 4 != 0 || blocks > 1000) std::abort();
      result = decoder.DecodeMp3(nullptr, 0, block.data(), block.size(), &produced);
    }
    if (produced != 0) std::abort();
  }
  decoder.ExitMp3();
  return 0;
}
