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
  EXPECT_EQ(std::tuple(format.formatTag, format.channels, format.samplesPerSecond, format.bitsPerSample,
                       format.blockAlign, format.averageBytesPerSecond),
            std::tuple(1, 2, 44100u, 16, 4, 176400u));

  testing::Mp3Decoding result = testing::DecodeMp3InChunks(decoder, file);
  EXPECT_TRUE(result.blocksWellFormed);
  // One second of 22,050 Hz mono; what is still inside the decoder when the input runs out (less
  // than a block) is not heard, as with the original device. The tone is scenario.sound_midi_mp3_movie's.
  EXPECT_NEAR(static_cast<double>(result.sound.size() / 2), 44100.0, 3000.0);
  EXPECT_LE(result.blocks, result.sound.size() * 2 / 4096 + 2);  // blocks are filled, not dribbled

  // A looping stream starts the decoder afresh each pass and gets the same sound.
  EXPECT_EQ(testing::DecodeMp3InChunks(decoder, file).sound, result.sound);

  // A file shorter than one chunk still plays from that chunk.
  std::vector<uint8_t> shortFile(file.begin(), file.begin() + 1500);
  testing::Mp3Decoding shortResult = testing::DecodeMp3InChunks(decoder, shortFile);
  EXPECT_TRUE(shortResult.blocksWellFormed);
  EXPECT_GT(shortResult.sound.size(), 0u);
}

// Garbage is FuzzRegressions.Mp3Decoder's and scenario.sound_bad_input's (no sound from noise.mp3).
TEST(Mp3Decoder, CallsOutOfOrderAskForInput) {
  Mp3Decoder idle;  // never started with InitMp3
  std::vector<uint8_t> input(100, 0x55), block(Mp3Decoder::kOutputBlockBytes);
  size_t produced = 99;
  EXPECT_EQ(idle.DecodeMp3(input.data(), input.size(), block.data(), block.size(), &produced), Mp3DecodeResult::NeedMoreInput);
  EXPECT_EQ(produced, 0u);
}

}  // namespace
}  // namespace velmio
