#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "sound/buffer_queue_source.h"
#include "sound/mixer.h"
#include "sound/pcm_sources.h"
#include "sound/stream_feeder.h"

namespace velmio {
namespace {

std::shared_ptr<PcmSource> Constant(int16_t left, int16_t right, size_t frames) {
  auto samples = std::make_shared<std::vector<int16_t>>();
  for (size_t i = 0; i < frames; ++i) samples->insert(samples->end(), {left, right});
  return std::make_shared<PcmSource>(samples);
}

std::vector<int16_t> MixFrames(Mixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2, 12345);  // junk the mixer must overwrite
  mixer.Mix(out.data(), frames);
  return out;
}

TEST(Mixer, SumsScalesAndSaturatesTheVoices) {
  Mixer mixer;
  EXPECT_EQ(MixFrames(mixer, 3), std::vector<int16_t>(6, 0));
  mixer.Start(VoiceKind::Wave, Constant(1000, -1000, 5000), PlayMode::Once);
  mixer.Start(VoiceKind::Midi, Constant(2000, 500, 5000), PlayMode::Once);
  std::vector<int16_t> out = MixFrames(mixer, 1000);  // more than one internal block
  EXPECT_EQ((std::array{out[0], out[1], out[1998]}), (std::array<int16_t, 3>{3000, -500, 3000}));
  mixer.SetVolume(VoiceKind::Wave, 0.5f);
  EXPECT_EQ(MixFrames(mixer, 1), (std::vector<int16_t>{2500, 0}));
  mixer.Start(VoiceKind::Cd, Constant(32000, -32000, 10), PlayMode::Once);
  mixer.Start(VoiceKind::Mp3, Constant(32000, -32000, 10), PlayMode::Once);
  EXPECT_EQ(MixFrames(mixer, 1), (std::vector<int16_t>{32767, -32768}));
}

TEST(Mixer, OnceEndsLoopWrapsAndStoppingIsNotAnEnd) {
  auto samples = std::make_shared<std::vector<int16_t>>(std::vector<int16_t>{1, 1, 2, 2, 3, 3});
  Mixer mixer;
  mixer.Start(VoiceKind::Wave, std::make_shared<PcmSource>(samples), PlayMode::Once);
  EXPECT_EQ(MixFrames(mixer, 5), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 0, 0, 0, 0}));
  EXPECT_EQ(std::pair(mixer.IsPlaying(VoiceKind::Wave), mixer.PlayedFrames(VoiceKind::Wave)), std::pair(false, uint64_t{3}));
  EXPECT_EQ((std::pair{mixer.TakeFinished(VoiceKind::Wave), mixer.TakeFinished(VoiceKind::Wave)}), std::pair(1, 0));

  mixer.Start(VoiceKind::Wave, std::make_shared<PcmSource>(samples), PlayMode::Loop);
  EXPECT_EQ(MixFrames(mixer, 7), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3, 1, 1}));
  EXPECT_TRUE(mixer.IsPlaying(VoiceKind::Wave));
  mixer.Stop(VoiceKind::Wave);
  EXPECT_EQ((std::pair{mixer.IsPlaying(VoiceKind::Wave), mixer.TakeFinished(VoiceKind::Wave)}), std::pair(false, 0));

  // An empty looping sound ends instead of spinning.
  mixer.Start(VoiceKind::Wave, Constant(1, 1, 0), PlayMode::Loop);
  MixFrames(mixer, 4);
  EXPECT_EQ(mixer.TakeFinished(VoiceKind::Wave), 1);
}

TEST(Mixer, FadeOutFallsLinearlyInSampleTimeThenStops) {
  Mixer mixer;
  mixer.Start(VoiceKind::Cd, Constant(10000, 10000, 100000), PlayMode::Once);
  mixer.FadeOut(VoiceKind::Cd, 100);  // 4,410 frames
  std::vector<int16_t> out = MixFrames(mixer, 4500);
  for (auto [frame, level, within] : {std::tuple{0, 10000, 5}, {1103, 7500, 10}, {2205, 5000, 10}, {4400, 25, 25}})
    EXPECT_NEAR(out[2 * frame], level, within) << frame;
  EXPECT_EQ(out[2 * 4420], 0);
  for (size_t i = 2; i < 2 * 4400; i += 2) ASSERT_LE(out[i], out[i - 2]);
  EXPECT_EQ((std::pair{mixer.IsPlaying(VoiceKind::Cd), mixer.TakeFinished(VoiceKind::Cd)}), std::pair(false, 0));

  // A fade of 0 ms stops at once. (The next track at full level again is scenario.sound_wave_cd's.)
  mixer.Start(VoiceKind::Cd, Constant(10000, 10000, 100), PlayMode::Once);
  mixer.FadeOut(VoiceKind::Cd, 0);
  EXPECT_FALSE(mixer.IsPlaying(VoiceKind::Cd));
}

TEST(BufferQueueSource, ReportsEachBufferWhenPlayedThroughAndTakesMoreFromTheCallback) {
  std::vector<int16_t> first(200, 1), second(200, 2), third(100, 3);
  std::vector<uintptr_t> reported;
  std::shared_ptr<BufferQueueSource> queue = std::make_shared<BufferQueueSource>([&](uintptr_t tag) {
    reported.push_back(tag);
    if (tag == 1) queue->Enqueue(third.data(), 50, 3);  // refilled from the audio thread's callback
  });
  ASSERT_TRUE(queue->Enqueue(first.data(), 100, 1));
  ASSERT_TRUE(queue->Enqueue(second.data(), 100, 2));
  Mixer mixer;
  mixer.Start(VoiceKind::Mp3, queue, PlayMode::Once);

  std::vector<int16_t> out = MixFrames(mixer, 99);
  EXPECT_TRUE(reported.empty());  // one frame of the first buffer is still to play
  EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{1, 1, 2, 2}));
  EXPECT_EQ(std::pair(reported, queue->Outstanding()), std::pair(std::vector<uintptr_t>{1}, size_t{2}));

  out = MixFrames(mixer, 200);  // the rest of 2, all of 3, then silence: a queue never ends
  EXPECT_EQ((std::array{out[2 * 98], out[2 * 99], out[2 * 148], out[2 * 149]}), (std::array<int16_t, 4>{2, 3, 3, 0}));
  EXPECT_EQ(reported, (std::vector<uintptr_t>{1, 2, 3}));
  EXPECT_TRUE(mixer.IsPlaying(VoiceKind::Mp3));

  for (uintptr_t tag = 10; tag < 10 + BufferQueueSource::kCapacity; ++tag) EXPECT_TRUE(queue->Enqueue(first.data(), 10, tag));
  EXPECT_FALSE(queue->Enqueue(first.data(), 10, 99));
  mixer.Stop(VoiceKind::Mp3);
  queue->ReleaseQueued();  // what a device reset hands back
  EXPECT_EQ(std::pair(reported.size(), queue->Outstanding()), std::pair(3 + BufferQueueSource::kCapacity, size_t{0}));
}

// Frames counting up from 0, `total` of them.
class CountingProducer : public FrameProducer {
 public:
  CountingProducer(size_t total, std::atomic<bool>* destroyed) : total_(total), destroyed_(destroyed) {}
  ~CountingProducer() override { *destroyed_ = true; }
  size_t Produce(int16_t* out, size_t frames) override {
    size_t count = std::min(frames, total_ - next_);
    for (size_t i = 0; i < count; ++i) out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(next_++);
    return count;
  }

 private:
  size_t total_;
  size_t next_ = 0;
  std::atomic<bool>* destroyed_;
};

TEST(Mixer, VoicesComeAndGoWhileTheAudioThreadMixes) {
  // Sources started and stopped under a running audio thread, with buffer callbacks queueing
  // more as they go and a feeder thread filling rings: the sanitizers catch a source used after
  // it was let go.
  Mixer mixer;
  StreamFeeder feeder;
  feeder.StartThread(std::chrono::milliseconds(1));
  std::atomic<bool> destroyed = false;
  std::atomic<bool> running{true};
  std::thread audio([&] {
    std::vector<int16_t> out(2 * 256);
    while (running) mixer.Mix(out.data(), 256);
  });
  std::vector<int16_t> samples(2 * 64, 7);
  for (int round = 0; round < 300; ++round) {
    // Each buffer is queued again as soon as it has played, from the audio thread.
    auto self = std::make_shared<std::weak_ptr<BufferQueueSource>>();
    auto refilling = std::make_shared<BufferQueueSource>([self, &samples](uintptr_t tag) {
      if (auto queue = self->lock()) queue->Enqueue(samples.data(), 64, tag);
    });
    *self = refilling;
    refilling->Enqueue(samples.data(), 64, 1);
    mixer.Start(VoiceKind::Mp3, refilling, PlayMode::Once);
    auto ring = std::make_shared<RingSource>(300);
    feeder.Attach(ring, std::make_unique<CountingProducer>(round % 2 ? 100 : 1000, &destroyed));
    mixer.Start(VoiceKind::Cd, ring, PlayMode::Once);
    mixer.Start(VoiceKind::Wave, Constant(1, 1, 100), round % 2 ? PlayMode::Loop : PlayMode::Once);
    if (round % 3 == 0) mixer.FadeOut(VoiceKind::Wave, 1);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    mixer.Stop(VoiceKind::Mp3);
    mixer.TakeFinished(VoiceKind::Wave);
  }
  running = false;
  audio.join();
  feeder.StopThread();
}

TEST(StreamFeeder, FillsRingsAheadOfTheMixerUntilTheProducerEnds) {
  std::atomic<bool> destroyed = false;
  StreamFeeder feeder;
  auto ring = std::make_shared<RingSource>(1000);
  feeder.Attach(ring, std::make_unique<CountingProducer>(2500, &destroyed));
  EXPECT_EQ(ring->BufferedFrames(), 1000u);
  Mixer mixer;
  mixer.Start(VoiceKind::Cd, ring, PlayMode::Once);

  std::vector<int16_t> out = MixFrames(mixer, 1200);  // the ring runs dry: silence, not an end
  EXPECT_EQ(std::pair(out[2 * 999], out[2 * 1000]), (std::pair<int16_t, int16_t>(999, 0)));
  EXPECT_TRUE(mixer.IsPlaying(VoiceKind::Cd));
  size_t expected = 1000;
  for (int pass = 0; pass < 3; ++pass) {
    feeder.FillAll();
    out = MixFrames(mixer, 1000);
    for (size_t i = 0; i < 1000 && expected < 2500; ++i) ASSERT_EQ(out[2 * i], static_cast<int16_t>(expected++));
  }
  EXPECT_EQ(mixer.TakeFinished(VoiceKind::Cd), 1);
  EXPECT_TRUE(destroyed);  // the feeder dropped the stream that ended

  // A stream nobody listens to any more is dropped at the next fill.
  destroyed = false;
  ring = std::make_shared<RingSource>(100);
  feeder.Attach(ring, std::make_unique<CountingProducer>(100000, &destroyed));
  ring.reset();
  feeder.FillAll();
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace velmio
