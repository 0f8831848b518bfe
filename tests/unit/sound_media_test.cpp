#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "sound/media.h"
#include "sound/sound_lifecycle.h"
#include "sound/sound_system.h"
#include "unit/game_folder.h"
#include "unit/sound_test_support.h"
#include "unit/test_engine.h"

namespace velmio {
namespace {

using testing::GameFolder;
using testing::TestEngine;

// A mono 16-bit 8 kHz tone of `milliseconds`.
std::vector<uint8_t> ToneWave(int milliseconds) {
  std::vector<uint8_t> data;
  for (int i = 0; i < 8 * milliseconds; ++i) {
    const auto sample = static_cast<uint16_t>(int16_t(8000 * std::sin(i * 0.3)));
    data.insert(data.end(), {static_cast<uint8_t>(sample), static_cast<uint8_t>(sample >> 8)});
  }
  return testing::WaveFile(1, 1, 8000, 16, data);
}

class SoundMediaTest : public ::testing::Test {
 protected:
  SoundMediaTest() {
    std::filesystem::create_directory("cd");
    GameFolder::Write("cd/track01.wav", ToneWave(2000));
    GameFolder::Write("cd/track02.wav", ToneWave(2000));
    GameFolder::Write("beep.wav", ToneWave(300));
    StartSound(test.engine);
  }
  ~SoundMediaTest() override { EndSound(test.engine); }

  std::string Run(const std::string& statement, Phase phase = Phase::Run) { return test.Run(statement, phase); }
  Mixer& Mix() { return test.engine.sound.system->Mix(); }
  uint32_t Now() { return test.platform.Milliseconds(); }

  // Found from the starting folder, before the test moves into its game folder.
  const std::filesystem::path movie = std::filesystem::absolute(testing::MediaPath("movie-160x120-10fps.avi"));
  GameFolder folder;
  TestEngine test;
};

TEST_F(SoundMediaTest, CdTracksKeepPlayingClampAndFade) {
  SoundState& sound = test.engine.sound;
  EXPECT_EQ(Run("play \"*2\""), "");
  test.platform.Idle(100, WaitKind::Timed);
  uint64_t played = Mix().PlayedFrames(VoiceKind::Cd);
  EXPECT_GT(played, 0u);
  // The same track again goes on undisturbed; a track past the last plays the last.
  EXPECT_EQ(Run("play \"*2\""), "");
  EXPECT_EQ(Mix().PlayedFrames(VoiceKind::Cd), played);
  EXPECT_EQ(Run("playonce \"*7\""), "");
  EXPECT_EQ(std::tuple(sound.cdTrack, sound.cdLoop, Mix().IsPlaying(VoiceKind::Cd)), std::tuple(7, 0, true));
  // "*0" stops with the fade, which holds the game up for its length.
  uint32_t before = Now();
  EXPECT_EQ(Run("play \"*0\""), "");
  EXPECT_EQ(std::tuple(Now() - before, sound.cdTrack, Mix().IsPlaying(VoiceKind::Cd)), std::tuple(1000u, -1, false));
  // Without the fade (config.txt), and after a reset, the CD stops at once.
  sound.cdFadeOff = true;
  before = Now();
  EXPECT_EQ(Run("play \"*1\":playstop"), "");
  EXPECT_EQ(Now(), before);
  std::filesystem::remove_all("cd");
  test.engine.sound.system->cdTrackCount = -1;
  EXPECT_EQ(Run("play \"*1\""), "エラー: 総トラック数が取得できません。恐らくCDが入っていません。");
}

TEST_F(SoundMediaTest, LoopingCdTrackStartsAgainFromTheTimer) {
  EXPECT_EQ(Run("play \"*1\""), "");
  for (int tick = 0; tick < 25; ++tick) {
    test.platform.Idle(100, WaitKind::Timed);
    MediaTimerTick(test.engine);
  }
  EXPECT_TRUE(Mix().IsPlaying(VoiceKind::Cd));
  EXPECT_LT(Mix().PlayedFrames(VoiceKind::Cd), 44100u);  // played again from its start
  EXPECT_EQ(test.engine.sound.cdTrack, 1);
}

TEST_F(SoundMediaTest, WaveSettingsPluginsAndErrors) {
  SoundState& sound = test.engine.sound;
  // Neither with WAVE off in the menu nor while skipping.
  for (bool* off : {&sound.waveEnabled, &test.engine.input.skipMode}) {
    *off = !*off;
    EXPECT_EQ(Run("wave \"beep.wav\""), "");
    EXPECT_FALSE(Mix().IsPlaying(VoiceKind::Wave));
    *off = !*off;
  }
  EXPECT_EQ(Run("waveloop \"beep.wav\""), "");
  EXPECT_EQ(std::pair(Mix().IsPlaying(VoiceKind::Wave), sound.waveLoop), std::pair(true, 1));
  // A click sound ends the loop for good.
  PlayWave(test.engine, "beep.wav", Looping::Once);
  EXPECT_EQ(sound.waveLoop, 0);
  test.platform.Idle(400, WaitKind::Timed);
  EXPECT_FALSE(Mix().IsPlaying(VoiceKind::Wave));

  // Another extension needs a plug-in entry (entries are lower-cased, extensions compared as
  // written); one whose library is not native leaves the file to our own decoders.
  GameFolder::Write("beep.snd", ToneWave(300));
  GameFolder::Write("beep.WAV", ToneWave(300));
  EXPECT_EQ(Run("wave \"beep.snd\""), "ロードエラー: ファイルbeep.sndを開けません。");
  EXPECT_EQ(Run("soundpressplgin \"Press.SPI|SND\"", Phase::Definition), "");
  EXPECT_EQ(sound.pressPlugins.back(), "press.spi|snd");
  EXPECT_EQ(Run("wave \"beep.WAV\""), "ロードエラー: ファイルbeep.WAVを開けません。");
  EXPECT_EQ(Run("wave \"beep.snd\""), "");
  EXPECT_TRUE(Mix().IsPlaying(VoiceKind::Wave));
#ifdef VELMIO_TEST_PLUGIN
  // A native plug-in converts into the runtime folder; the copy goes when the sound stops.
  std::filesystem::copy_file(VELMIO_TEST_PLUGIN, "press.so");
  EXPECT_EQ(Run("soundpressplgin \"press.so|snd\"", Phase::Definition), "");
  sound.pressPlugins.erase(sound.pressPlugins.begin());  // the first entry for "snd" wins
  EXPECT_EQ(Run("waveloop \"beep.snd\""), "");
  EXPECT_TRUE(Mix().IsPlaying(VoiceKind::Wave));
  EXPECT_EQ(folder.RuntimeFiles(), std::vector<std::string>{"Velmtmp.wav"});
  EXPECT_EQ(Run("wavestop"), "");
  EXPECT_TRUE(folder.RuntimeFiles().empty());
#endif
  while (sound.pressPlugins.size() < 50) sound.pressPlugins.push_back("x|y");
  EXPECT_EQ(Run("soundpressplgin \"z|y\"", Phase::Definition), "エラー: Sound press plug-in設定が多すぎます。");
  EXPECT_EQ(Run("waveloop \"missing.wav\""), "ロードエラー: ファイルmissing.wavを開けません。");
  EXPECT_EQ(Run("mp3loop \"missing.mp3\""), "ロードエラー: ファイルmissing.mp3を開けません。");

  // `stop` forgets the names (the silence is scenario.sound_wave_cd's).
  EXPECT_EQ(Run("waveloop \"beep.wav\":stop"), "");
  EXPECT_TRUE(sound.waveName.empty());
}

TEST_F(SoundMediaTest, MoviePlaysToItsEndUnlessAClickMayStopIt) {
  std::filesystem::copy_file(movie, "op.avi");
  // A click before the movie ends it at once when clicks may stop it...
  test.engine.input.clickFlag = true;
  uint32_t before = Now();
  EXPECT_EQ(Run("avi \"op.avi\",1"), "");
  EXPECT_LT(Now() - before, 100u);
  EXPECT_TRUE(test.engine.input.clickFlag);  // left for the next click wait to clear
  // ...and does nothing otherwise: the movie and its sound play to their end.
  before = Now();
  EXPECT_EQ(Run("avi \"op.avi\",0"), "");
  EXPECT_GE(Now() - before, 1000u);
  EXPECT_LT(Now() - before, 1300u);
  EXPECT_EQ(std::pair(test.engine.sound.moviePlaying, Mix().IsPlaying(VoiceKind::Movie)), std::pair(false, false));
  EXPECT_EQ(Run("avi \"none.avi\",0"), "ロードエラー: ファイルnone.aviを開けません。");
}

}  // namespace
}  // namespace velmio
