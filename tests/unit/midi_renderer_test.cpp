#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/sound/midi_renderer.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

// Renders until the song is over (or `limit` frames); returns the frames rendered.
size_t RenderAll(MidiRenderer& renderer, std::vector<int16_t>& out, size_t limit) {
  std::vector<int16_t> block(2 * 4096);
  size_t total = 0;
  while (total < limit) {
    size_t frames = renderer.Render(block.data(), 4096);
    if (frames == 0) break;
    out.insert(out.end(), block.begin(), block.begin() + 2 * frames);
    total += frames;
  }
  return total;
}

TEST(MidiRenderer, PlaysTheTuneThenEndsOrStops) {
  MidiRenderer renderer;
  ASSERT_TRUE(renderer.HasSoundFont()) << renderer.Warning() << " (scripts/setup installs it)";
  EXPECT_TRUE(renderer.Warning().empty());
  std::vector<uint8_t> tune = testing::ReadBytes(testing::MediaPath("tune.mid"));
  ASSERT_EQ(renderer.Start(tune, "tune.mid", PlayRepeat::Once), "");
  // One second of notes, then at most two seconds of them dying away; how loud, and where the
  // next pass starts, are scenario.sound_midi_mp3_movie's.
  std::vector<int16_t> sound;
  size_t frames = RenderAll(renderer, sound, 20 * 44100);
  EXPECT_TRUE(renderer.Ended());
  EXPECT_GE(frames, 44100u);
  EXPECT_LE(frames, 3 * 44100u + 4096);
  ASSERT_EQ(renderer.Start(tune, "tune.mid", PlayRepeat::Once), "");
  renderer.Stop();
  EXPECT_TRUE(renderer.Ended());
  EXPECT_EQ(renderer.Render(sound.data(), 10), 0u);
  EXPECT_EQ(renderer.Start({tune.data(), 10}, "cut.mid", PlayRepeat::Once), "cut.mid: not a standard MIDI file");
}

TEST(MidiRenderer, WithoutASoundFontWarnsAndKeepsTimeInSilence) {
  const char* previous = std::getenv("VELMIO_SOUNDFONT");
  std::string saved = previous ? previous : "";
  setenv("VELMIO_SOUNDFONT", "/nonexistent/gm.sf2", 1);
  MidiRenderer renderer;
  if (previous) setenv("VELMIO_SOUNDFONT", saved.c_str(), 1);
  else unsetenv("VELMIO_SOUNDFONT");

  EXPECT_FALSE(renderer.HasSoundFont());
  EXPECT_NE(renderer.Warning().find("/nonexistent/gm.sf2"), std::string::npos) << renderer.Warning();
  ASSERT_EQ(renderer.Start(testing::ReadBytes(testing::MediaPath("tune.mid")), "tune.mid", PlayRepeat::Once), "");
  std::vector<int16_t> sound;
  size_t frames = RenderAll(renderer, sound, 20 * 44100);
  EXPECT_TRUE(renderer.Ended());
  EXPECT_NEAR(static_cast<double>(frames), 44100.0, 4096.0);
  EXPECT_EQ(testing::Peak(sound), 0);
}

}  // namespace
}  // namespace velmio
