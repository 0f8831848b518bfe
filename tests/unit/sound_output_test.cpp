#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "files/sound/wave_parser.h"
#include "files/sound/wav_writer.h"
#include "platform/headless/null_audio_device.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

TEST(NullAudioDevice, PullsTheFramesOfVirtualTimeExactlyAndRecordsThemAsWave) {
  std::filesystem::path path = std::filesystem::temp_directory_path() / ("velmio-audio-out-" + std::to_string(getpid()) + ".wav");
  WavWriter writer;
  ASSERT_EQ(writer.Open(path.string()), "");

  int16_t next = 0;
  NullAudioDevice device;
  ASSERT_EQ(device.Open([&](int16_t* out, size_t frames) {
              for (size_t i = 0; i < 2 * frames; ++i) out[i] = next++;
            }),
            "");
  device.SetRecorder([&](const int16_t* samples, size_t frames) { writer.Write(samples, frames); });
  device.Advance(500);  // opened paused: the time passes, nothing is played
  EXPECT_EQ(device.FramesPulled(), 0u);
  device.Resume();
  for (int i = 0; i < 1000; ++i) device.Advance(1);  // 44.1 frames a millisecond, no drift
  std::vector<uint64_t> pulled{device.FramesPulled()};
  for (uint32_t milliseconds : {3u, 997u}) device.Advance(milliseconds), pulled.push_back(device.FramesPulled());
  EXPECT_EQ(pulled, (std::vector<uint64_t>{44100, 44232, 88200}));
  EXPECT_EQ(writer.FramesWritten(), 88200u);
  ASSERT_EQ(writer.Close(), "");

  std::vector<uint8_t> file = testing::ReadBytes(path);
  std::filesystem::remove(path);
  // The header's format is checked by every scenario that records its sound (audio_check.py).
  ASSERT_EQ(file.size(), 44u + 88200u * 4);
  DecodedSound sound = DecodeWave(file, "out.wav");
  ASSERT_EQ(sound.Frames(), 88200u);
  for (size_t i = 0; i < sound.samples.size(); i += 997) ASSERT_EQ(sound.samples[i], static_cast<int16_t>(i));

  EXPECT_NE(writer.Open("/nonexistent/folder/out.wav"), "");
  EXPECT_FALSE(writer.IsOpen());
}

}  // namespace
}  // namespace velmio
