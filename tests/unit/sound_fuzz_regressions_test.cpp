// Replays the inputs kept from fuzzing the WAVE reader and the MP3 decoder (see
// tests/fuzz-regressions/README.md). Under the sanitizers any out-of-bounds access fails the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/sound/audio_stream.h"
#include "files/sound/mp3_decoder.h"
#include "files/sound/wave_parser.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

// Every input kept for one fuzz target: single files as they are, .corpus files unpacked.
std::vector<std::vector<uint8_t>> KeptInputs(const std::string& kind) {
  std::vector<std::vector<uint8_t>> inputs;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(testing::TestsFolder() / "fuzz-regressions" / kind, error)) {
    std::vector<uint8_t> bytes = testing::ReadBytes(entry.path());
    if (entry.path().extension() != ".corpus") {
      inputs.push_back(std::move(bytes));
      continue;
    }
    for (size_t offset = 0; offset + 4 <= bytes.size();) {
      uint32_t length = bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (uint32_t{bytes[offset + 3]} << 24);
      offset += 4;
      if (length > bytes.size() - offset) break;
      inputs.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(offset), bytes.begin() + static_cast<ptrdiff_t>(offset + length));
      offset += length;
    }
  }
  return inputs;
}

TEST(SoundFuzzRegressions, WaveReader) {
  std::vector<std::vector<uint8_t>> inputs = KeptInputs("wave");
  EXPECT_GT(inputs.size(), 8u);
  int decoded = 0;
  for (const std::vector<uint8_t>& input : inputs) {
    DecodedSound sound = DecodeWave(input, "kept.wav");
    EXPECT_EQ(sound.samples.size() % 2, 0u);
    if (sound.Ok() && !sound.samples.empty()) ++decoded;
  }
  EXPECT_GT(decoded, 0);
}

TEST(SoundFuzzRegressions, Mp3Decoder) {
  std::vector<std::vector<uint8_t>> inputs = KeptInputs("mp3");
  EXPECT_FALSE(inputs.empty());
  Mp3Decoder decoder;
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  for (const std::vector<uint8_t>& input : inputs) {
    if (input.empty()) continue;
    size_t chunk = 1 + static_cast<size_t>(input[0]) * Mp3Decoder::kInputChunkBytes / 256;
    decoder.InitMp3();
    for (size_t position = 1; position < input.size(); position += chunk) {
      size_t produced = 0;
      Mp3DecodeResult result = decoder.DecodeMp3(input.data() + position, std::min(chunk, input.size() - position),
                                                 block.data(), block.size(), &produced);
      for (int blocks = 0; result == Mp3DecodeResult::BlockReady; ++blocks) {
        ASSERT_TRUE(produced > 0 && produced <= block.size() && produced % 4 == 0 && blocks < 1000);
        result = decoder.DecodeMp3(nullptr, 0, block.data(), block.size(), &produced);
      }
    }
    decoder.ExitMp3();
  }
}

}  // namespace
}  // namespace velmio
