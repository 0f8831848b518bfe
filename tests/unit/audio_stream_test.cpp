#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/sound/audio_stream.h"
#include "sound/decoder_producers.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

using testing::MediaPath;

TEST(AudioStream, EncodedFilesDecodeToTheirToneAndLength) {
  // One second of 440 Hz at half of full scale in each; encoders add a little silence. The WAVE
  // files hold IMA ADPCM (through libsndfile) and MP3 data (through libmpg123).
  for (const char* name : {"tone440-22050-mono.mp3", "tone440-48000-stereo.ogg", "tone440-8000-mono.flac",
                           "tone440-8000-mono-ima.wav", "tone440-mp3-in.wav"}) {
    std::vector<uint8_t> file = testing::ReadBytes(MediaPath(name));
    ASSERT_FALSE(file.empty()) << name;
    DecodedSound sound = DecodeSound(file, name);
    ASSERT_TRUE(sound.Ok()) << sound.error;
    EXPECT_NEAR(static_cast<double>(sound.Frames()), 44100.0, 2500.0) << name;
    EXPECT_NEAR(testing::ToneFrequency(sound.samples, 0), 440.0, 5.0) << name;
    EXPECT_NEAR(testing::ToneFrequency(sound.samples, 1), 440.0, 5.0) << name;
    EXPECT_NEAR(testing::Peak(sound.samples), 16384, 2500) << name;
  }
  DecodedSound junk = DecodeSound(std::vector<uint8_t>(500, 0x55), "bgm.ogg");
  EXPECT_EQ(junk.error.rfind("bgm.ogg: ", 0), 0u) << junk.error;
}

TEST(AudioStream, StreamsFromDiskInBlocksRewindsAndLoopsAsAProducer) {
  std::string path = MediaPath("tone440-48000-stereo.ogg");
  DecodedSound whole = DecodeSound(testing::ReadBytes(path), "whole");
  OpenedStream opened = OpenAudioStream(path);
  ASSERT_TRUE(opened.stream) << opened.error;
  std::vector<int16_t> streamed;
  std::vector<int16_t> block(2 * 1000);
  for (size_t frames; (frames = opened.stream->Read(block.data(), 1000)) > 0;)
    streamed.insert(streamed.end(), block.begin(), block.begin() + 2 * frames);
  EXPECT_EQ(streamed, whole.samples);
  EXPECT_EQ(opened.stream->Read(block.data(), 1000), 0u);
  ASSERT_TRUE(opened.stream->Rewind());
  ASSERT_EQ(opened.stream->Read(block.data(), 1000), 1000u);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), whole.samples.begin()));

  // As a looping producer it starts again at its end, without ever coming back empty.
  AudioStreamProducer producer(std::move(opened.stream), PlayMode::Loop);
  size_t total = 0;
  for (int calls = 0; calls < 200 && total < 3 * whole.Frames(); ++calls) {
    size_t frames = producer.Produce(block.data(), 1000);
    ASSERT_GT(frames, 0u);
    total += frames;
  }
  EXPECT_GE(total, 3 * whole.Frames());

  OpenedStream missing = OpenAudioStream("/nonexistent/cd/track02.ogg");
  EXPECT_FALSE(missing.stream);
  EXPECT_EQ(missing.error, "/nonexistent/cd/track02.ogg: the file cannot be opened");
}

}  // namespace
}  // namespace velmio
