// "envdata" and "config.txt": reading short files, the replay as menu commands, writing.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "files/file_reading.h"
#include "files/game_files.h"
#include "game_folder.h"
#include "shell/menu_commands.h"
#include "shell/settings_files.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

std::vector<uint8_t> Integers(std::initializer_list<int32_t> values, const std::string& name = "", bool nul = true) {
  std::vector<uint8_t> bytes;
  for (int32_t value : values)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
  bytes.insert(bytes.end(), name.begin(), name.end());
  if (nul && !name.empty()) bytes.push_back(0);
  return bytes;
}

std::vector<uint32_t> PostedMenuCommands(Interpreter& engine) {
  std::vector<uint32_t> ids;
  while (auto message = engine.messages.Take()) {
    EXPECT_EQ(message->kind, MessageKind::MenuCommand);
    ids.push_back(message->param);
  }
  return ids;
}

TEST(PlayerSettings, ReplayPostsTheMenuCommandsInOrder) {
  GameFolder folder;
  TestEngine test;
  Interpreter& engine = test.engine;
  engine.shell.menu.SetFonts({"Alpha", "IPAGothic"});
  const struct {
    std::vector<uint8_t> file;
    std::vector<uint32_t> posted;
  } cases[] = {
      {Integers({1, 0, 2, 1}, "IPAGothic"),
       {menu_id::kFullScreen, menu_id::kWaveOff, menu_id::kPageAtATime, menu_id::kSpeedFast, 2}},
      // Short files are read as far as they go: eight bytes, full screen and WAVE on; the speed
      // reads as 0, so the slow item is chosen. Half a number is no number; a face may lack its NUL.
      {Integers({1, 1}), {menu_id::kFullScreen, menu_id::kSpeedSlow}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 2, 0}, {menu_id::kWaveOff, menu_id::kSpeedSlow}},
      {Integers({0, 1, 2, 1}, "IPAGothic", false), {menu_id::kPageAtATime, menu_id::kSpeedFast, 2}},
      // A face that is not installed, and a speed outside the menu, change nothing.
      {Integers({0, 1, 7, 0}, "No Such Face"), {}},
      {Integers({0, 1, -1, 0}), {}},
      // The face of `defaultfont` is what the game starts with anyway.
      {Integers({0, 1, 1, 0}, "Alpha"), {menu_id::kSpeedNormal}},
  };
  engine.text.configuredFontFace = "Alpha";
  for (const auto& c : cases) {
    GameFolder::Write("envdata", c.file);
    ReadSettings(engine);
    EXPECT_EQ(PostedMenuCommands(engine), c.posted) << &c - cases;
  }
  std::filesystem::remove("envdata");
  ReadSettings(engine);
  EXPECT_TRUE(engine.messages.Empty());
}

bool Posted(Interpreter& engine, uint32_t id) {
  std::vector<uint32_t> ids = PostedMenuCommands(engine);
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(PlayerSettings, WrittenWholeSpecialFilesSkippedAndFailedWritesReported) {
  GameFolder folder;
  TestEngine test;
  Interpreter& engine = test.engine;
  GameFolder::Write("envdata", std::string(100, 'x'));
  engine.shell.fullScreen = engine.input.pageMode = true;
  engine.sound.waveEnabled = false;
  engine.input.speedIndex = 0;
  engine.text.defaultFontFace = "IPAGothic";
  WriteSettings(engine);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile("envdata", bytes));
  EXPECT_EQ(bytes, Integers({1, 0, 0, 1}, "IPAGothic"));
  // Nothing but the file itself is left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);

  // Named pipes and a device would block the start in open() or be read without end.
  std::filesystem::remove("envdata");
  ASSERT_EQ(mkfifo("config.txt", 0600), 0);
  ASSERT_EQ(mkfifo("envdata", 0600), 0);
  ReadConfigFile(engine.sound);
  EXPECT_FALSE(engine.sound.cdFadeOff);
  ReadSettings(engine);
  EXPECT_TRUE(engine.messages.Empty());
  std::filesystem::remove("envdata");
  ASSERT_EQ(symlink("/dev/zero", "envdata"), 0);
  ReadSettings(engine);
  EXPECT_TRUE(engine.messages.Empty());

  // The game folder is writable but the write fails there (as on a full disk): the settings go to
  // the data folder with a warning, and are read back from there rather than from the stale copy.
  std::filesystem::remove("envdata");
  GameFolder::Write("envdata", Integers({1, 1, 1, 0}));
  ReadSettings(engine);
  EXPECT_TRUE(Posted(engine, menu_id::kFullScreen));
  std::filesystem::create_directory("envdata.tmp" + std::to_string(getpid()));
  engine.shell.fullScreen = false;
  ::testing::internal::CaptureStderr();
  WriteSettings(engine);
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("warning: cannot write envdata in the game folder"), std::string::npos) << warnings;
  ReadSettings(engine);
  EXPECT_FALSE(Posted(engine, menu_id::kFullScreen));
}

TEST(ConfigFile, OnlyTheFirstNineCharactersOfALineCount) {
  GameFolder folder;
  struct Case {
    const char* text;
    bool fadeOff;
  } cases[] = {
      {"cdfadeoff\n", true},       {"cdfadeoff", true},         {"cdfadeoffplease\r\n", true},
      {"# mine\ncdfadeoff\n", true}, {"CDFADEOFF\n", false},     {" cdfadeoff\n", false},
      {"cdfadeof\n", false},       {"cdfade off\n", false},    {nullptr, false},  // no file
  };
  for (const Case& c : cases) {
    c.text ? GameFolder::Write("config.txt", std::string(c.text)) : (void)std::filesystem::remove("config.txt");
    SoundState sound;
    ReadConfigFile(sound);
    EXPECT_EQ(sound.cdFadeOff, c.fadeOff) << (c.text ? c.text : "none");
  }
}

}  // namespace
}  // namespace velmio::testing
