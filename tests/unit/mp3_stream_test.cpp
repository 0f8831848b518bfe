#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "sound/mixer.h"
#include "sound/mp3_stream.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

// The stream thread primes the buffers, an audio thread plays them and decodes the next from the
// completion callback: the looping tone comes round again, and a stop with buffers queued
// returns at once. scripts/thread-check runs this under ThreadSanitizer.
TEST(Mp3Stream, LoopsUnderARunningAudioThreadAndStopsWithBuffersQueued) {
  Mixer mixer;
  Mp3Stream stream(mixer);
  std::atomic<bool> running{true};
  std::atomic<size_t> soundingFrames{0};
  std::thread audio([&] {
    std::vector<int16_t> out(2 * 512);
    while (running) {
      mixer.Mix(out.data(), 512);
      for (size_t frame = 0; frame < 512; ++frame)
        if (std::abs(out[2 * frame]) > 1000) soundingFrames.fetch_add(1);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  stream.Start(testing::MediaPath("tone440-22050-mono.mp3"), PlayMode::Loop);
  // One second of tone in the file: wait for half of the second pass.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (soundingFrames < 44100 * 3 / 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(soundingFrames.load(), 44100u * 3 / 2);
  const auto stopping = std::chrono::steady_clock::now();
  stream.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(1));
  EXPECT_FALSE(stream.Running() || mixer.IsPlaying(VoiceKind::Mp3));
  running = false;
  audio.join();
}

}  // namespace
}  // namespace velmio
