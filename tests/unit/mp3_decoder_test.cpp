#include <gtest/gtest.h>

#include <vector>

#include "files/sound/mp3_decoder.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

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

  testing::Mp3Decoding result = testing::DecodeMp3InChunks(decoder, file);
  EXPECT_TRUE(result.blocksWellFormed);
  // One second of 22,050 Hz mono; what is still inside the decoder when the input runs out (less
  // than a block) is not heard, as with the original device.
  EXPECT_NEAR(static_cast<double>(result.sound.size() / 2), 44100.0, 3000.0);
  EXPECT_NEAR(testing::ToneFrequency(result.sound, 0), 440.0, 4.0);
  EXPECT_NEAR(testing::ToneFrequency(result.sound, 1), 440.0, 4.0);
  EXPECT_LE(result.blocks, result.sound.size() * 2 / 4096 + 2);  // blocks are filled, not dribbled

  // A looping stream starts the decoder afresh each pass and gets the same sound.
  EXPECT_EQ(testing::DecodeMp3InChunks(decoder, file).sound, result.sound);

  // A file shorter than one chunk still plays from that chunk.
  std::vector<uint8_t> shortFile(file.begin(), file.begin() + 1500);
  testing::Mp3Decoding shortResult = testing::DecodeMp3InChunks(decoder, shortFile);
  EXPECT_TRUE(shortResult.blocksWellFormed);
  EXPECT_GT(shortResult.sound.size(), 0u);
}

TEST(Mp3Decoder, GarbageGivesNoSoundAndAlwaysAsksForMore) {
  std::vector<uint8_t> garbage(20000);
  uint32_t seed = 7;
  for (uint8_t& byte : garbage) byte = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  Mp3Decoder decoder;
  testing::Mp3Decoding result = testing::DecodeMp3InChunks(decoder, garbage);
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
