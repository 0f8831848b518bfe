#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/sound/audio_stream.h"
#include "files/sound/wave_parser.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

using testing::ReadBytes;
using testing::TestsFolder;
using testing::WaveFile;

template <typename T>
std::vector<uint8_t> Bytes(std::initializer_list<T> values) {
  std::vector<uint8_t> out(values.size() * sizeof(T));
  std::memcpy(out.data(), values.begin(), out.size());
  return out;
}

TEST(WaveParser, EverySampleFormatBecomesStereoSixteenBit) {
  // Half of full scale, then a negative value, in each encoding, at 44.1 kHz so the values
  // pass through unresampled.
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    int16_t second;
  };
  std::vector<Case> cases = {
      {"8-bit", WaveFile(1, 1, 44100, 8, {192, 64}), -16384},
      {"16-bit", WaveFile(1, 1, 44100, 16, Bytes<int16_t>({16384, -8192})), -8192},
      {"24-bit", WaveFile(1, 1, 44100, 24, {0, 0, 0x40, 0, 0, 0xE0}), -8192},
      {"32-bit", WaveFile(1, 1, 44100, 32, Bytes<int32_t>({0x40000000, -0x20000000})), -8192},
      {"float", WaveFile(3, 1, 44100, 32, Bytes<float>({0.5f, -0.25f})), -8192},
      {"double", WaveFile(3, 1, 44100, 64, Bytes<double>({0.5, -0.25})), -8192},
  };
  for (const Case& test : cases) {
    DecodedSound sound = DecodeWave(test.file, "se.wav");
    ASSERT_TRUE(sound.Ok()) << test.what << ": " << sound.error;
    ASSERT_EQ(sound.Frames(), 2u) << test.what;
    EXPECT_NEAR(sound.samples[0], 16384, 1) << test.what;  // mono at full level on both sides
    EXPECT_EQ(sound.samples[0], sound.samples[1]) << test.what;
    EXPECT_NEAR(sound.samples[2], test.second, 1) << test.what;
  }

  // Stereo 16-bit at 44.1 kHz is taken as it is; a trailing half frame is dropped, and an odd
  // chunk before fmt is stepped over with its pad byte.
  std::vector<uint8_t> junk = {'J', 'U', 'N', 'K', 3, 0, 0, 0, 1, 2, 3, 0};
  std::vector<uint8_t> data = Bytes<int16_t>({100, -100, 200, -200, 300});
  DecodedSound stereo = DecodeWave(WaveFile(1, 2, 44100, 16, data, junk), "bgm.wav");
  ASSERT_TRUE(stereo.Ok()) << stereo.error;
  EXPECT_EQ(stereo.samples, (std::vector<int16_t>{100, -100, 200, -200}));

  // Other rates are resampled: 22,050 Hz doubles the frames.
  DecodedSound slow = DecodeWave(WaveFile(1, 1, 22050, 16, std::vector<uint8_t>(2000, 0)), "voice.wav");
  ASSERT_TRUE(slow.Ok()) << slow.error;
  EXPECT_NEAR(static_cast<double>(slow.Frames()), 2000.0, 4.0);

  DecodedSound odd = DecodeWave(WaveFile(1, 1, 44100, 12 * 8, {1, 2, 3}), "odd.wav");
  EXPECT_EQ(odd.error, "odd.wav: 96-bit samples cannot be played");
}

TEST(WaveParser, DamagedFilesAreRefusedOrCutToWhatTheyHold) {
  struct Expectation {
    const char* file;
    const char* error;  // empty: decodes to `frames`
    size_t frames;
  };
  const Expectation expectations[] = {
      {"truncated-header.wav", "the file is too short for a RIFF header", 0},
      {"fmt-cut-short.wav", "the fmt chunk is cut short", 0},
      {"extensible-cut-short.wav", "the extensible fmt chunk is cut short", 0},
      {"no-data-chunk.wav", "the data chunk is missing", 0},
      {"zero-channels.wav", "the fmt chunk gives no channels", 0},
      {"garbage.wav", "not a RIFF WAVE file", 0},
      // 100 samples at 8 kHz under a claim of 4 GB, and of 10 GB in an RF64 file.
      {"data-claims-4gb.wav", "", 551},
      {"rf64-claims-10gb.wav", "", 551},
  };
  for (const Expectation& expected : expectations) {
    std::vector<uint8_t> file = ReadBytes(TestsFolder() / "fuzz-regressions" / "wave" / expected.file);
    ASSERT_FALSE(file.empty()) << expected.file;
    WaveParse parse = ParseWave(file);
    DecodedSound sound = DecodeWave(file, expected.file);
    if (*expected.error) {
      EXPECT_EQ(sound.error, std::string(expected.file) + ": " + expected.error);
      EXPECT_TRUE(sound.samples.empty()) << expected.file;
      // Through the general decoder (whatever it makes of the bytes) it fails just the same.
      EXPECT_EQ(DecodeSound(file, expected.file).error.rfind(std::string(expected.file) + ": ", 0), 0u);
    } else {
      ASSERT_TRUE(sound.Ok()) << sound.error;
      EXPECT_EQ(parse.header.data.size(), 200u) << expected.file;
      EXPECT_NEAR(static_cast<double>(sound.Frames()), static_cast<double>(expected.frames), 3.0) << expected.file;
    }
  }
}

}  // namespace
}  // namespace velmio
