#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "files/sound/mp3_decoder.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

struct StreamResult {
  std::vector<int16_t> sound;
  size_t blocks = 0;
  bool blocksWellFormed = true;  // every block within 8192 bytes, whole frames, never empty
};

// Drives the decoder the way the MP3 stream does: the file in chunks of at most 2048 bytes, each
// chunk followed by calls with no input until the decoder asks for more.
StreamResult Stream(Mp3Decoder& decoder, const std::vector<uint8_t>& file) {
  StreamResult result;
  decoder.InitMp3();
  size_t position = std::min(file.size(), Mp3Decoder::kInputChunkBytes);
  std::vector<uint8_t> chunk(file.begin(), file.begin() + static_cast<ptrdiff_t>(position));
  WaveFormatRecord format;
  decoder.GetWaveFormat(format, chunk.data());
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  while (!chunk.empty()) {
    size_t produced = 0;
    Mp3DecodeResult r = decoder.DecodeMp3(chunk.data(), chunk.size(), block.data(), block.size(), &produced);
    for (int guard = 0; r == Mp3DecodeResult::BlockReady; ++guard) {
      result.blocksWellFormed &= produced > 0 && produced <= block.size() && produced % 4 == 0 && guard < 1000;
      size_t start = result.sound.size();
      result.sound.resize(start + produced / 2);
      std::memcpy(result.sound.data() + start, block.data(), produced);
      ++result.blocks;
      if (guard >= 1000) break;
      r = decoder.DecodeMp3(nullptr, 0, block.data(), block.size(), &produced);
    }
    size_t next = std::min(file.size() - position, Mp3Decoder::kInputChunkBytes);
    chunk.assign(file.begin() + static_cast<ptrdiff_t>(position), file.begin() + static_cast<ptrdiff_t>(position + next));
    position += next;
  }
  decoder.ExitMp3();
  return result;
}

TEST(Mp3Decoder, DecodesAStreamChunkByChunkToFortyFourKilohertzStereo) {
  std::vector<uint8_t> file = testing::ReadBytes(testing::MediaPath("tone440-22050-mono.mp3"));
  ASSERT_GT(file.size(), 2 * Mp3Decoder::kInputChunkBytes);
  Mp3Decoder decoder;
  decoder.InitMp3();
  WaveFormatRecord format;
  decoder.GetWaveFormat(format, file.data());
  EXPECT_EQ(format.formatTag, 1);
  EXPECT_EQ(format.channels, 2);
  EXPECT_EQ(format.samplesPerSecond, 44100u);
  EXPECT_EQ(format.bitsPerSample, 16);
  EXPECT_EQ(format.blockAlign, 4);
  EXPECT_EQ(format.averageBytesPerSecond, 176400u);

  StreamResult result = Stream(decoder, file);
  EXPECT_TRUE(result.blocksWellFormed);
  // One second of 22,050 Hz mono; what is still inside the decoder when the input runs out (less
  // than a block) is not heard, as with the original device.
  EXPECT_NEAR(static_cast<double>(result.sound.size() / 2), 44100.0, 3000.0);
  EXPECT_NEAR(testing::ToneFrequency(result.sound, 0), 440.0, 4.0);
  EXPECT_NEAR(testing::ToneFrequency(result.sound, 1), 440.0, 4.0);
  EXPECT_LE(result.blocks, result.sound.size() * 2 / 4096 + 2);  // blocks are filled, not dribbled

  // A looping stream starts the decoder afresh each pass and gets the same sound.
  EXPECT_EQ(Stream(decoder, file).sound, result.sound);

  // A file shorter than one chunk still plays from that chunk.
  std::vector<uint8_t> shortFile(file.begin(), file.begin() + 1500);
  StreamResult shortResult = Stream(decoder, shortFile);
  EXPECT_TRUE(shortResult.blocksWellFormed);
  EXPECT_GT(shortResult.sound.size(), 0u);
}

TEST(Mp3Decoder, GarbageGivesNoSoundAndAlwaysAsksForMore) {
  std::vector<uint8_t> garbage(20000);
  uint32_t seed = 7;
  for (uint8_t& byte : garbage) byte = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  Mp3Decoder decoder;
  StreamResult result = Stream(decoder, garbage);
  EXPECT_TRUE(result.blocksWellFormed);
  EXPECT_LT(result.sound.size(), 44100u);  // a few false frames at most

  // Calls out of order do no harm: decoding before InitMp3 and after ExitMp3 asks for input.
  Mp3Decoder idle;
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  size_t produced = 99;
  EXPECT_EQ(idle.DecodeMp3(garbage.data(), 100, block.data(), block.size(), &produced), Mp3DecodeResult::NeedMoreInput);
  EXPECT_EQ(produced, 0u);
}

}  // namespace
}  // namespace velmio
