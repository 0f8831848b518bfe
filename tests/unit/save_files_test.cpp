// Save files: the byte layout players' files depend on, the round trip through a slot, damaged
// files, bad slot numbers, and the old save surviving a writer killed mid-save.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

#include "bmp_builder.h"
#include "engine/reset.h"
#include "engine/run_scenario.h"
#include "files/game_files.h"
#include "game_folder.h"
#include "graphics/effects.h"
#include "graphics/graphics_lifecycle.h"
#include "persist/save_files.h"
#include "persist/state_record.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

// The names and loop flags a save records, in the record's order.
void SetSound(SoundState& sound, int32_t cdTrack, int32_t cdLoop, const char* midiName, int32_t midiLoop,
              const char* waveName, int32_t waveLoop, const char* mp3Name, int32_t mp3Loop) {
  std::tie(sound.cdTrack, sound.cdLoop, sound.midiName, sound.midiLoop, sound.waveName, sound.waveLoop, sound.mp3Name, sound.mp3Loop) =
      std::tuple(cdTrack, cdLoop, midiName, midiLoop, waveName, waveLoop, mp3Name, mp3Loop);
}

// The record built field by field from the format's table, independently of the serialiser.
struct Layout {
  std::vector<uint8_t> bytes;
  Layout& Int(int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
    return *this;
  }
  Layout& Str(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
};

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Every field given a value of its own, so that two fields swapped in the file would show.
void SetDistinctState(Interpreter& engine) {
  TextState& text = engine.text;
  std::tie(text.bold, text.shadow, engine.persist.rightClickEnabled) = std::tuple(0, 2, 0);
  text.history.AppendCharacter(0x82, 0xA0);
  text.history.AppendLineEnd();
  text.history.AppendPageMark();
  std::tie(text.textRed, text.textGreen, text.textBlue) = std::tuple(10, 20, 30);
  text.cursors[0].name = "c0.bmp";
  text.cursors[1].name = "c1.bmp";
  text.windowEffect = WindowEffect{15, 400, "mask.bmp"};
  std::tie(text.textX, text.textY, text.charsPerLine, text.lineCount, text.glyphWidth, text.glyphHeight) =
      std::tuple(3, 4, 20, 5, 24, 25);
  std::tie(text.pitchX, text.pitchY, text.windowColour, text.charWait) = std::tuple(27, 29, 0x123456, 7);
  text.windowRect = TextRect{11, 12, 613, 470};
  text.windowPictureName = "win.bmp";
  for (int i = 0; i < 2; ++i)
    std::tie(text.cursors[i].relative, text.cursors[i].offsetX, text.cursors[i].offsetY) = std::tuple(i == 1, 41 + i, 43 + i);
  GraphicsState& graphics = engine.graphics;
  graphics.SetBackgroundName("#102030");
  for (int i = 0; i < kStandingCount; ++i) graphics.PlaceStanding(i, i == 1 ? ":a;st.bmp" : "", 100 + i, 200 + i);
  graphics.SetSprite(7, "sp.bmp", -5, 6, 1);
  graphics.SetSprite(59, "sp.bmp", 600, 400, 0);
  for (int v = 0; v < kVariableCount; ++v) {
    engine.script.variables.SetNumber(v, v * 3 - 100);
    engine.script.variables.SetString(v, v % 7 == 0 ? std::string("s") + std::to_string(v) : "");
  }
  std::tie(engine.script.position, engine.script.gosubDepth, engine.script.gosubStack[0], engine.script.gosubStack[1]) =
      std::tuple(9, 2, 4, 8);
  std::tie(graphics.monochrome, graphics.monochromeBlue, graphics.monochromeGreen, graphics.monochromeRed, graphics.negativeMode) =
      std::tuple(true, 1, 2, 3, 2);
  SetSound(engine.sound, 5, 1, "bgm.mid", 1, "se.wav", 0, "song.mp3", 1);
  std::tie(text.eraseWindowMode, text.textVisible) = std::tuple(0, 1);
}

Layout ExpectedLayout() {
  Layout layout;
  layout.Int(0).Int(2).Str("\x82\xA0\n\\").Int(4).Int(1).Int(0).Int(10).Int(30).Int(20);
  layout.Str("c0.bmp").Str("c1.bmp").Int(15).Int(400).Str("mask.bmp");
  layout.Int(3).Int(4).Int(20).Int(5).Int(24).Int(25).Int(27).Int(29).Int(0x123456).Int(7);
  layout.Int(11).Int(12).Int(613).Int(470).Str("win.bmp");
  layout.Int(0).Int(1).Int(41).Int(42).Int(43).Int(44);
  layout.Str("#102030").Str("").Str(":a;st.bmp").Str("");
  layout.Int(100).Int(101).Int(102).Int(200).Int(201).Int(202);
  for (int i = 0; i < kSpriteCount; ++i) {
    if (i == 7) layout.Str("sp.bmp").Int(-5).Int(6).Int(1);
    else if (i == 59) layout.Str("sp.bmp").Int(600).Int(400).Int(0);
    else layout.Str("").Int(0).Int(0).Int(0);
  }
  for (int v = 0; v < kLocalVariableCount; ++v)
    layout.Int(v * 3 - 100).Str(v % 7 == 0 ? std::string("s") + std::to_string(v) : "");
  layout.Int(9).Int(2).Int(4).Int(8);
  layout.Int(1).Int(1).Int(2).Int(3).Int(2);
  layout.Str("bgm.mid").Str("se.wav").Int(5).Int(1).Int(0).Int(1).Int(1).Str("song.mp3");
  layout.Int(0).Int(1);
  return layout;
}

TEST(SaveFileTest, SnapshotIsTheRecordByteForByteAndMp3OnlyWhenLooping) {
  TestEngine t;
  t.Load("*define\ngame\n*start\n0123456789\n");
  SetDistinctState(t.engine);
  TakeSnapshot(t.engine);
  EXPECT_EQ(t.engine.persist.snapshot.Bytes(), ExpectedLayout().bytes);

  // A once-played MP3 is not recorded.
  t.engine.sound.mp3Loop = 0;
  TakeSnapshot(t.engine);
  EXPECT_EQ(t.engine.persist.snapshot.Bytes().size(), ExpectedLayout().bytes.size() - std::string("song.mp3").size());
}

// The snapshot is patched in place between pages; whatever was written in between, it must equal
// the record written whole. Strings mostly keep their size (patched where they lie) and sometimes
// do not (what follows them moves).
TEST(SaveFileTest, SnapshotKeptInPlaceEqualsTheRecordWrittenWhole) {
  TestEngine t;
  t.Load("*define\ngame\n*start\nwait 1\n");
  Interpreter& engine = t.engine;
  VariableStore& variables = engine.script.variables;
  GraphicsState& graphics = engine.graphics;
  std::mt19937 random(17);
  auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
  auto name = [&] { return std::string(pick(4) == 0 ? 0 : 4, static_cast<char>('a' + pick(3))); };
  for (int limited = 0; limited < kLocalVariableCount; limited += 10) variables.SetLimits(limited, 0, 9);
  std::vector<uint8_t> loaded;
  const std::vector<std::function<void()>> writes = {
      [&] { variables.SetNumber(pick(kLocalVariableCount + 5), pick(20)); },
      [&] { variables.SetString(pick(kLocalVariableCount + 5), name()); },
      [&] { variables.AppendString(pick(kLocalVariableCount), name()); },
      [&] { variables.ApplyIntLimits(); },
      [&] { variables.ClearLocals(); },
      [&] { graphics.SetSprite(pick(kSpriteCount), name(), pick(9), pick(9), pick(2)); },
      [&] { graphics.MoveSprite(pick(kSpriteCount), pick(9), pick(9)); },
      [&] { graphics.SetSpriteVisible(pick(kSpriteCount), pick(2)); },
      [&] { graphics.ClearSpriteName(pick(kSpriteCount)); },
      [&] { graphics.PlaceStanding(pick(kStandingCount), name(), pick(9), pick(9)); },
      [&] { graphics.ClearStandingName(pick(kStandingCount)); },
      [&] { graphics.SetBackgroundName(name()); },
      [&] { engine.text.history.AppendCharacter(0x82, static_cast<uint8_t>(0xA0 + pick(3))); },
      [&] { engine.text.windowPictureName = name(); },
      [&] { engine.text.textX = pick(9); },
      [&] { engine.script.gosubDepth = pick(3); },
      [&] { loaded = engine.persist.snapshot.Bytes(); },
      [&] { ReadStateRecord(engine, loaded); },
  };
  for (int round = 0; round < 10000; ++round) {
    for (int count = pick(4); count > 0; --count) writes[static_cast<size_t>(pick(static_cast<int>(writes.size())))]();
    TakeSnapshot(engine);
    ASSERT_EQ(engine.persist.snapshot.Bytes(), WholeStateRecord(engine)) << "round " << round;
  }
}

class SaveSlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BmpBuilder(64, 48, 24).SetRgb(1, 1, 0xFF0000).Write("bg.bmp");
    BmpBuilder(20, 30, 24).SetRgb(5, 5, 0x00FF00).Write("st.bmp");
    BmpBuilder(10, 10, 24).SetRgb(2, 2, 0x0000FF).Write("sp.bmp");
    t.Load("*define\ngame\n*start\nwait 1\nwait 2\nwait 3\n");
  }
  std::vector<uint8_t> Screen() const {
    const Surface& display = t.engine.graphics.display;
    return {display.pixels, display.pixels + display.imageSize};
  }
  void Show() {
    RestoreSavedPictures(t.engine);
    t.engine.RecomposeScreen();
    ShowWithEffect(t.engine, 1, 0, "", nullptr);
  }

  GameFolder folder;
  TestEngine t;
};

TEST_F(SaveSlotTest, LoadRestoresStateScreenAndSoundOfTheSavePoint) {
  Interpreter& engine = t.engine;
  engine.graphics.SetBackgroundName("bg.bmp");
  engine.graphics.PlaceStanding(0, "st.bmp", 30, 40);
  engine.graphics.SetSprite(3, "sp.bmp", 300, 200, 1);
  engine.script.variables.SetNumber(5, 55);
  engine.script.variables.SetString(6, "six");
  engine.script.position = 20;
  // The load plays the looping MIDI again, so it must exist: a song of one empty track.
  GameFolder::Write("bgm.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xFF\x2F\0", 22));
  SetSound(engine.sound, -1, 0, "bgm.mid", 1, "voice.wav", 0, "", 0);
  Show();
  const std::vector<uint8_t> savedScreen = Screen();
  TakeSnapshot(engine);
  const std::vector<uint8_t> savedRecord = engine.persist.snapshot.Bytes();
  ASSERT_EQ(SaveToSlot(engine, 4), SlotOutcome::Done);
  EXPECT_EQ(ReadFile("save4.dat"), savedRecord);

  // Everything changes after the save point...
  engine.graphics.SetBackgroundName("white");
  engine.graphics.ClearStandingName(0);
  engine.graphics.ClearSpriteName(3);
  engine.graphics.SetSprite(9, "sp.bmp", 1, 1, 1);
  engine.script.variables.SetNumber(5, 0);
  engine.script.variables.SetString(6, "changed");
  engine.script.position = 30;
  engine.text.column = 4;
  SetSound(engine.sound, 3, 1, "other.mid", 0, "loop.wav", 1, "x.mp3", 1);
  Show();
  ASSERT_NE(Screen(), savedScreen);

  // ...and the load brings back the record, the screen, and only the sound that loops.
  ASSERT_EQ(LoadFromSlot(engine, 4), SlotOutcome::Done);
  EXPECT_EQ(Screen(), savedScreen);
  EXPECT_EQ(engine.text.column, 0);
  // The WAVE was played once: named, not replayed.
  EXPECT_EQ(std::tuple(engine.sound.midiName, engine.sound.midiLoop, engine.sound.waveLoop, engine.sound.cdTrack, engine.sound.mp3Name),
            std::tuple("bgm.mid", 1, 0, -1, ""));
  TakeSnapshot(engine);
  EXPECT_EQ(engine.persist.snapshot.Bytes(), savedRecord);
}

TEST_F(SaveSlotTest, DamagedFilesLoadWithoutReadingOutOfBoundsAndBadSlotsChangeNothing) {
  Interpreter& engine = t.engine;
  engine.graphics.SetBackgroundName("#405060");
  engine.script.variables.SetNumber(199, 7);
  engine.script.position = 12;
  TakeSnapshot(engine);
  const std::vector<uint8_t> record = engine.persist.snapshot.Bytes();

  // Every cut of a good record: the fields it holds, zeros and empty strings after them.
  for (size_t length = 0; length <= record.size(); length += 97) {
    GameFolder::Write("save1.dat", std::vector<uint8_t>(record.begin(), record.begin() + length));
    ASSERT_EQ(LoadFromSlot(engine, 1), SlotOutcome::Done) << length;
  }
  GameFolder::Write("save1.dat", std::vector<uint8_t>(record.begin(), record.end() - 4));
  ASSERT_EQ(LoadFromSlot(engine, 1), SlotOutcome::Done);
  EXPECT_EQ(std::tuple(engine.text.textVisible, engine.text.eraseWindowMode, engine.script.position, engine.script.Number(199)),
            std::tuple(0, 1, 12, 7));

  // A History out of range and a read position far outside the scenario (random records are
  // the fuzzer's).
  Layout hostile;
  hostile.Int(1).Int(1).Str("").Int(5000000).Int(-3);
  GameFolder::Write("save3.dat", hostile.bytes);
  EXPECT_EQ(LoadFromSlot(engine, 3), SlotOutcome::Done);
  EXPECT_EQ(std::pair(engine.text.history.Position(), engine.text.history.PageCount()), std::pair(size_t{0}, 0));

  engine.script.position = 1 << 30;
  engine.script.gosubDepth = 0;
  TakeSnapshot(engine);
  GameFolder::Write("save5.dat", engine.persist.snapshot.Bytes());
  ASSERT_EQ(LoadFromSlot(engine, 5), SlotOutcome::Done);
  EXPECT_EQ(engine.script.position, engine.script.Length());

  // A picture gone since the save was made: the usual load error names it, the save stays.
  engine.graphics.SetBackgroundName("gone.bmp");
  TakeSnapshot(engine);
  GameFolder::Write("save6.dat", engine.persist.snapshot.Bytes());
  EXPECT_EQ(t.ErrorOf([&] { LoadFromSlot(engine, 6); }), "ロードエラー: ファイルgone.bmpを開けません。");
  EXPECT_EQ(ReadFile("save6.dat"), engine.persist.snapshot.Bytes());

  // Slots outside 1..20, missing files and a game with no snapshot yet are refused with a
  // message; no file appears.
  for (int slot : {0, -1, 21, 1000}) {
    EXPECT_EQ(SaveToSlot(engine, slot), SlotOutcome::Refused);
    EXPECT_EQ(LoadFromSlot(engine, slot), SlotOutcome::Refused);
  }
  EXPECT_EQ(LoadFromSlot(engine, 9), SlotOutcome::Refused);
  EXPECT_FALSE(std::filesystem::exists("save0.dat") || std::filesystem::exists("save21.dat"));
  TestEngine fresh;
  EXPECT_EQ(SaveToSlot(fresh.engine, 1), SlotOutcome::Refused);
}

// The run loop keeps the snapshot of the state just before the first text of the page, and a
// save from a command on an empty page holds the state just before that command.
TEST(SaveFileTest, SnapshotIsTheStateBeforeThePagesFirstText) {
  TestEngine t(Events("click\n"));
  t.Load("*define\ngame\n*start\nmov %1,5\nあいう@\nmov %1,7\nend\n");
  t.ErrorOf([&] {
    velmio::ResetToStart(t.engine);
    RunScenario(t.engine, Phase::Run);
  });
  ASSERT_EQ(t.engine.script.Number(1), 7);
  TestEngine reader;
  reader.Load("*define\ngame\n*start\nmov %1,5\nあいう@\nmov %1,7\nend\n");
  ReadStateRecord(reader.engine, t.engine.persist.snapshot.Bytes());
  EXPECT_EQ(reader.engine.script.Number(1), 5);
  EXPECT_EQ(reader.engine.script.Current(), static_cast<unsigned char>(Utf8ToShiftJis("あ")[0]));

  // Arithmetic on an empty page, then a save from the scenario (slot 1, yes): the save holds
  // the arithmetic's result and resumes at the command that saved.
  GameFolder folder;
  const std::string saving = "*define\ngame\n*start\nmov %1,5\ninc %1\nif %1=6 mov %2,3\nsystemcall save\nend\n";
  TestEngine saver(Events("click 320 170\nclick 250 280\n"));
  saver.Load(saving);
  saver.ErrorOf([&] {
    velmio::ResetToStart(saver.engine);
    RunScenario(saver.engine, Phase::Run);
  });
  TestEngine loader;
  loader.Load(saving);
  ReadStateRecord(loader.engine, ReadFile("save1.dat"));
  EXPECT_EQ(std::pair(loader.engine.script.Number(1), loader.engine.script.Number(2)), std::pair(6, 3));
  EXPECT_EQ(loader.engine.script.ReadToken(), "systemcall");
}

// A game installed read-only saves into the data folder and loads from there.
TEST(SaveFileTest, ReadOnlyGameFolderSavesToTheDataFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root can write into a read-only folder";
  GameFolder folder;
  const std::filesystem::path data = std::getenv("XDG_DATA_HOME");  // the GameFolder's own
  std::filesystem::permissions(".", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  TestEngine t;
  t.Load("*define\ngame\n*start\nwait 1\n");
  t.engine.script.variables.SetNumber(3, 33);
  TakeSnapshot(t.engine);
  EXPECT_EQ(SaveToSlot(t.engine, 2), SlotOutcome::Done);
  EXPECT_TRUE(std::filesystem::exists(data / "velmio" / "game" / "save2.dat"));
  t.engine.script.variables.SetNumber(3, 0);
  EXPECT_EQ(LoadFromSlot(t.engine, 2), SlotOutcome::Done);
  EXPECT_EQ(t.engine.script.Number(3), 33);
  std::filesystem::permissions(".", std::filesystem::perms::owner_all);
}

// A writer killed at any moment leaves either the old save or the new one, whole.
TEST(SaveFileTest, KilledWriterLeavesTheOldOrTheNewFileWhole) {
  GameFolder folder;
  const std::vector<uint8_t> oldSave(200000, 'o');
  const std::vector<uint8_t> newSave(300000, 'n');
  ASSERT_TRUE(WriteGameFile("save1.dat", oldSave));
  for (int round = 0; round < 12; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        WriteGameFile("save1.dat", newSave);
        WriteGameFile("save1.dat", oldSave);
      }
    }
    usleep(2000 + round * 1500);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::vector<uint8_t> left = ReadFile("save1.dat");
    ASSERT_TRUE(left == oldSave || left == newSave) << "round " << round << ": " << left.size() << " bytes";
  }
}

}  // namespace
}  // namespace velmio::testing
