#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "sound/mp3_stream.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

using std::chrono::steady_clock;

// The stream thread primes the buffers, an audio thread plays them and decodes the next from the
// completion callback: the looping tone (one second) comes round again, and a stop with buffers
// queued returns at once. scripts/thread-check runs this under ThreadSanitizer.
TEST(Mp3Stream, LoopsUnderARunningAudioThreadAndStopsWithBuffersQueued) {
  Mixer mixer;
  Mp3Stream stream(mixer);
  std::atomic<bool> running{true};
  std::atomic<size_t> sounding{0};
  std::thread audio([&] {
    std::vector<int16_t> out(2 * 512);
    for (; running; std::this_thread::sleep_for(std::chrono::microseconds(200))) {
      mixer.Mix(out.data(), 512);
      for (size_t i = 0; i < out.size(); i += 2) sounding += std::abs(out[i]) > 1000;
    }
  });
  stream.Start(testing::MediaPath("tone440-22050-mono.mp3"), PlayMode::Loop);
  for (auto deadline = steady_clock::now() + std::chrono::seconds(20); sounding < 66150 && steady_clock::now() < deadline;)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(sounding.load(), 66150u);
  const auto stopping = steady_clock::now();
  stream.Stop();
  EXPECT_LT(steady_clock::now() - stopping, std::chrono::seconds(1));
  EXPECT_FALSE(stream.Running() || mixer.IsPlaying(VoiceKind::Mp3));
  running = false;
  audio.join();
}

}  // namespace
}  // namespace velmio
