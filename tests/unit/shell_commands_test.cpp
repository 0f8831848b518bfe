// The shell's scenario commands (menu bar, cursor, timing) and the program's start and end.
#include <filesystem>

#include "engine/engine.h"
#include "engine/instance_guard.h"
#include "base/event_log.h"
#include "files/file_reading.h"
#include "files/fonts/font_catalogue.h"
#include "files/game_files.h"
#include "files/instance_lock.h"
#include "game_folder.h"
#include "shell/settings_files.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

std::vector<TopMenuItem> TopLevel(TestEngine& test) { return test.engine.shell.menu.TopLevel(); }

TEST(MenuBar, KillMenuCountsFromTheItemsStillThereAndChecksFollowTheSettings) {
  TestEngine test;
  test.engine.shell.fullScreen = true;
  test.engine.input.pageMode = true;
  MenuBarView view = BuildMenuView(test.engine);
  ASSERT_EQ(view.items.size(), 6u);
  EXPECT_EQ(std::tuple(view.items[5].text, view.items[0].id, view.items[0].popup.size()),
            std::tuple("バージョン情報", 40001u, 0u));
  const auto& screen = view.items[1].popup;
  const auto& display = view.items[4].popup;
  ASSERT_EQ(screen.size(), 2u);
  EXPECT_EQ(std::tuple(screen[0].text, screen[0].checked, screen[1].checked, display[1].text, display[1].checked,
                       display[0].checked),
            std::tuple("フルスクリーン", true, false, "一ページごと", true, false));

  EXPECT_EQ(test.Run("killmenu 5", Phase::Definition), "");
  EXPECT_EQ(TopLevel(test), (std::vector<TopMenuItem>{TopMenuItem::Quit, TopMenuItem::Screen, TopMenuItem::Font,
                                                      TopMenuItem::SkipToChoice, TopMenuItem::DisplayMode}));
  EXPECT_EQ(test.Run("killmenu 0 : killmenu 0", Phase::Definition), "");
  EXPECT_EQ(TopLevel(test), (std::vector<TopMenuItem>{TopMenuItem::Font, TopMenuItem::SkipToChoice,
                                                      TopMenuItem::DisplayMode}));
  // Past the end, or negative: nothing to remove.
  EXPECT_EQ(test.Run("killmenu 3 : killmenu -1", Phase::Definition), "");
  view = BuildMenuView(test.engine);
  ASSERT_EQ(view.items.size(), 3u);
  EXPECT_EQ(std::tuple(view.items[0].text, view.items[0].popup.back().text, view.items[0].popup.back().checked),
            std::tuple("フォント", "デフォルト", true));
  EXPECT_EQ(test.Run("killmenu 0"), "構文エラー: 不正な命令\"killmenu\"です。");
}

TEST(FontMenu, TableLimitsAndNamesCutBetweenCharacters) {
  MenuBar menu;
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("Face" + std::to_string(i));
  menu.SetFonts(names);
  EXPECT_EQ(menu.FontCount(), kMaxFontNames - 1);
  EXPECT_EQ(std::pair(*menu.FontName(1), *menu.FontName(255)), std::pair(std::string("Face0"), std::string("Face254")));
  EXPECT_TRUE(menu.FontName(256) == nullptr && menu.FontName(0) == nullptr);
  EXPECT_EQ(std::pair(menu.FindFont("Face7"), menu.FindFont("Face300")),
            std::pair(std::optional<uint32_t>(8), std::optional<uint32_t>()));

  // 98 ASCII bytes then a two-byte character: keeping byte 99 would split it.
  std::string longName = std::string(98, 'a') + Sjis("漢字");
  menu.SetFonts({longName});
  EXPECT_EQ(*menu.FontName(1), std::string(98, 'a'));
}

TEST(TimingCommands, WaitTimerCountsFromResetTimerAndPassedTimesReturnAtOnce) {
  TestEngine test;
  HeadlessPlatform& clock = test.platform;
  ASSERT_EQ(test.Run("resettimer : wait 500"), "");
  uint32_t afterWait = clock.Milliseconds();
  ASSERT_EQ(test.Run("waittimer 300 : waittimer 500"), "");
  EXPECT_EQ(clock.Milliseconds(), afterWait) << "both times have passed";
  ASSERT_EQ(test.Run("waittimer 800"), "");
  EXPECT_EQ(clock.Milliseconds() - test.engine.shell.timerBase, 800u);
  // A negative wait is no wait, not 49 days of unsigned milliseconds.
  uint32_t before = clock.Milliseconds();
  ASSERT_EQ(test.Run("wait -1 : delay -20"), "");
  EXPECT_LT(clock.Milliseconds() - before, 5u);

  // A click ends a delay but not a wait.
  for (auto [command, least, most] : {std::tuple{"delay 1000", 100u, 199u}, {"wait 1000", 1000u, 1099u}}) {
    TestEngine clicked(Events("after 100 click\n"));
    ASSERT_EQ(clicked.Run(command), "");
    EXPECT_TRUE(clicked.platform.Milliseconds() >= least && clicked.platform.Milliseconds() <= most) << command;
  }
}

TEST(MenuItemCommands, ActLikeThePlayerChoosingTheItem) {
  TestEngine test;
  ASSERT_EQ(test.Run("menu_click_page"), "");
  EXPECT_TRUE(test.engine.input.pageMode);
  ASSERT_EQ(test.Run("menu_click_def"), "");
  EXPECT_FALSE(test.engine.input.pageMode);
  test.engine.text.autoClick = true;
  ASSERT_EQ(test.Run("menu_click_page : menu_full"), "");
  // The pointer nudge ran before the next statement, so the full-screen menu bar shows.
  EXPECT_EQ(std::tuple(test.engine.input.pageMode, test.engine.shell.fullScreen, test.engine.shell.menuHidden),
            std::tuple(false, true, false));
  ASSERT_EQ(test.Run("menu_window"), "");
  EXPECT_FALSE(test.engine.shell.fullScreen || !test.engine.messages.Empty());
}

// A 1 x 1 cursor of one opaque 32-bit pixel: the directory, its one entry (44 bytes at 22), and
// the bitmap's header (height doubled, 1 plane, 32 bits) and pixel, without a mask.
std::vector<uint8_t> TinyCursor() {
  std::vector<uint8_t> bytes(22 + 40 + 4, 0);
  for (auto [at, value] : {std::pair{2, 2}, {4, 1}, {6, 1}, {7, 1}, {14, 44}, {18, 22}, {22, 40}, {26, 1}, {30, 2},
                           {34, 1}, {36, 32}, {62, 0x10}, {65, 0xFF}})
    bytes[at] = static_cast<uint8_t>(value);
  return bytes;
}

TEST(MouseCursor, FileOffAndErrors) {
  GameFolder folder;
  TestEngine test;
  GameFolder::Write("hand.cur", TinyCursor());
  GameFolder::Write("broken.cur", std::string("not a cursor"));
  ASSERT_EQ(test.Run("mousecursor \"hand.cur\"", Phase::Definition), "");
  EXPECT_TRUE(test.engine.shell.customCursor);
  EXPECT_EQ(test.Run("mousecursor off"), "");
  EXPECT_FALSE(test.engine.shell.customCursor);
  // A file that is no cursor leaves the standard arrow rather than no pointer at all.
  EXPECT_EQ(test.Run("mousecursor \"hand.cur\" : mousecursor \"broken.cur\""), "");
  EXPECT_FALSE(test.engine.shell.customCursor);
  EXPECT_EQ(test.Run("mousecursor \"missing.cur\""), "エラー: カーソルファイルが見つかりません。");
  EXPECT_EQ(test.Run("mousecursor other"), "エラー: mousecursorのパラメータは、offかファイル名です。");
}

TEST(ProgramStart, HeadlessRunsLockOnlyTheirGameFolder) {
  GameFolder folder;
  InstanceLock window, headless, sameGame, otherGame, secondWindow;
  // A player's window holds the per-user lock: headless runs go on beside it.
  ASSERT_TRUE(TakeInstanceLock(window, InstanceScope::User));
  EXPECT_TRUE(TakeInstanceLock(headless, InstanceScope::GameFolder));
  // The same folder reached through a symbolic link is the same game.
  std::filesystem::create_directory_symlink(std::filesystem::current_path(), "../alias");
  std::filesystem::current_path("../alias");
  EXPECT_FALSE(TakeInstanceLock(sameGame, InstanceScope::GameFolder));
  std::filesystem::create_directory("../other");
  std::filesystem::current_path("../other");
  EXPECT_TRUE(TakeInstanceLock(otherGame, InstanceScope::GameFolder));
  // A headless run going does not keep a player's window out; a second window is refused.
  window.Release();
  EXPECT_TRUE(TakeInstanceLock(window, InstanceScope::User));
  EXPECT_FALSE(TakeInstanceLock(secondWindow, InstanceScope::User));

  EventLog log;
  std::string logPath = (std::filesystem::current_path() / "log.txt").string();
  ASSERT_TRUE(log.Open(logPath));
  std::string shown;
  EXPECT_EQ(RefuseSecondCopy(log, [&shown](std::string_view text, std::string_view title) {
              shown = ShiftJisToUtf8(title) + ": " + ShiftJisToUtf8(text);
            }),
            kExitFatalError);
  EXPECT_EQ(shown, "起動エラー: 同時に二つ実行しないでください");
  std::vector<uint8_t> text;
  ASSERT_TRUE(ReadWholeFile(logPath, text));
  EXPECT_EQ(std::string(text.begin(), text.end()), "MESSAGEBOX 起動エラー: 同時に二つ実行しないでください\nEXIT 1\n");
}

TEST(ProgramEnd, SettingsAreWrittenOnlyOnceReplayedAndTheRuntimeFolderIsRemoved) {
  GameFolder folder;
  // An error in the definition block comes before the replay: the file stays as it was.
  GameFolder::Write("0.txt", std::string("*define\nmov %0,1\nnosuchcommand\ngame\n*start\nend\n"));
  auto run = [](int expectedExit) {
    HeadlessPlatform platform({}, 600000);
    EventLog log;
    EXPECT_EQ(RunEngine(platform, log), expectedExit);
  };
  run(kExitFatalError);
  EXPECT_FALSE(std::filesystem::exists("envdata"));
  EXPECT_TRUE(folder.RuntimeFiles().empty());
  const std::vector<uint8_t> saved = EncodePlayerSettings(PlayerSettings{0, 0, 2, 1, "Player Font"});
  GameFolder::Write("envdata", saved);
  run(kExitFatalError);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile("envdata", bytes));
  EXPECT_EQ(bytes, saved);

  // Once replayed, the settings are written back with the player's changes, also after an error.
  GameFolder::Write("0.txt", std::string("*define\ngame\n*start\nwait 10\nmenu_click_def\nnosuchcommand\n"));
  run(kExitFatalError);
  ASSERT_TRUE(ReadWholeFile("envdata", bytes));
  ASSERT_GE(bytes.size(), 16u);
  // WAVE off and the fast speed replayed, the page mode the player chose.
  EXPECT_EQ(std::tuple(bytes[4], bytes[8], bytes[12]), std::tuple(0, 2, 0));
  std::error_code error;
  EXPECT_FALSE(std::filesystem::exists(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/velmio", error));
}

TEST(InitialisationCycle, EveryCycleStartsFromTheWholeMenuBar) {
  GameFolder folder;
  // Each cycle removes the first item again and starts over after 10 ms (and the 50 ms pause
  // between cycles), until the time limit.
  GameFolder::Write("0.txt", std::string("*define\nkillmenu 0\ngame\n*start\nwait 10\ndefinereset\n"));
  RecordingPlatform platform({}, 1000);
  EventLog log;
  EXPECT_EQ(RunEngine(platform, log), kExitTimeLimit);
  EXPECT_GT(platform.menuUpdates, 5) << "several cycles ran";
  ASSERT_EQ(platform.lastMenu.items.size(), 5u);
  const auto& fonts = platform.lastMenu.items[1].popup;
  size_t installed = 1;  // and the default
  for (const fonts::FontFamily& family : fonts::JapaneseFixedPitchFamilies()) installed += !family.sjisName.empty();
  EXPECT_EQ(std::tuple(platform.lastMenu.items[0].text, fonts.size(), fonts.back().text),
            std::tuple("画面", installed, "デフォルト")) << "fonts are listed once";
}

}  // namespace
}  // namespace velmio::testing
