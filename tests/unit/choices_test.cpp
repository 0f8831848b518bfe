// Hover tracking over a list of choices on the headless backend.
#include <string>
#include <vector>

#include "test_engine.h"
#include "ui/choices.h"
#include "ui/input_dialogs.h"

namespace velmio::testing {
namespace {

// Counts what is shown in the window between two waits for the player.
class CountingPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void Present(const uint8_t*, int, const ScreenArea& area) override { shown.back().push_back(area); }
  void Idle(uint32_t timeout, WaitKind kind) override {
    if (kind == WaitKind::Player && !shown.back().empty()) shown.emplace_back();
    HeadlessPlatform::Idle(timeout, kind);
  }
  std::vector<std::vector<ScreenArea>> shown{1};
};

TEST(Choices, EachMoveRedrawsAtMostTheTwoChangedEntriesInOneShow) {
  const TextState defaults;
  auto move = [&](int x, int y) {
    return "move " + std::to_string(defaults.textX + x) + " " + std::to_string(defaults.textY + y) + "\n";
  };
  std::string script;
  for (int entry = 0; entry < 10; ++entry) script += move(20, entry * defaults.pitchY + 10);
  // The last move stays within the last entry.
  EngineOn<CountingPlatform> test(Events(script + move(30, 9 * defaults.pitchY + 12) + "click\n"));
  const CountingPlatform& platform = test.platform;
  std::vector<std::string> texts;
  for (const char* digit : {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"})
    texts.push_back(Sjis(std::string("選択肢") + digit));
  EXPECT_EQ(ShowChoices(test.engine, texts, 0, 0), 9);

  // The first group is the list coming up; then one group per move, the click's redraw last.
  ASSERT_EQ(platform.shown.size(), 12u);
  const int twoEntries = defaults.pitchY + defaults.glyphHeight;
  for (size_t group = 1; group <= 10; ++group) {
    ASSERT_EQ(platform.shown[group].size(), 1u) << "move " << group;
    EXPECT_LE(platform.shown[group][0].height, twoEntries) << "move " << group;
  }
  EXPECT_EQ(platform.shown[1][0].height, defaults.glyphHeight);  // nothing was highlighted before
  EXPECT_EQ(platform.shown[11].size(), 1u);  // the move within the entry drew nothing; the click did
}

TEST(UiCommands, BadOperandsEndWithTheirMessagesAndTheSettingsAreRead) {
  TestEngine test;
  std::string many = "select ";
  for (int i = 0; i < 51; ++i) many += std::string(i ? "," : "") + "\"a\",*a";
  EXPECT_EQ(test.Run(many), "エラー: 選択肢は50個までです。");
  EXPECT_EQ(test.Run("selnum 5,\"a\""), "構文エラー: selnumの第一引数は数値変数です。");
  EXPECT_EQ(test.Run("systemcall jump"), "エラー: systemcall命令へのパラメータが間違っています。");
  EXPECT_EQ(test.Run("rmenu \"a\",save,\"b\",jump", Phase::Definition), "エラー: rmenu命令へのパラメータが間違っています。");
  EXPECT_EQ(test.Run("rmenu \"a\",save,\"b\"", Phase::Definition), "構文エラー: コンマが必要なところにコンマが有りません。");
  EXPECT_EQ(test.Run("lookbackcolor ff0000", Phase::Definition),
            "エラー: lookbackcolorのパラメータは#rrggbbの色指定です。");
  EXPECT_EQ(test.Run("selectcolor #ff0000,00ff00", Phase::Definition), "エラー: selectcolorのパラメータが違います。");
  EXPECT_EQ(test.Run("inputstr %1,\"a\",4,0"), "構文エラー: inputstrの第一引数は文字変数です。");

  EXPECT_EQ(test.Run("rmenu \"a\",save,\"b\",SKIP", Phase::Definition), "");
  ASSERT_EQ(test.engine.ui.menuItems.size(), 2u);
  EXPECT_EQ(test.engine.ui.menuItems[1].kind, MenuItemKind::Skip);
  // Without a '#' colour after the sixth operand the tint stays.
  EXPECT_EQ(test.Run("menusetwindow 20,22,4,6,1,0,", Phase::Definition), "");
  const MenuWindow& menu = test.engine.text.menuWindow;
  EXPECT_EQ(menu.pitchX, 24);
  EXPECT_EQ(menu.pitchY, 28);
  EXPECT_EQ(menu.colour, 0x999999u);
}

TEST(InputDialogs, AnswersAreCheckedByKindLengthAndWidth) {
  EXPECT_EQ(RefusalOf(Sjis("みおみおみ"), 10, FullWidthOnly::Yes), "");
  EXPECT_EQ(RefusalOf(Sjis("みおみおみお"), 10, FullWidthOnly::Yes), "文字列が長すぎます。");
  EXPECT_EQ(RefusalOf(Sjis("みおa"), 10, FullWidthOnly::Yes), "全て全角文字で入力してください。");
  EXPECT_EQ(RefusalOf("abcd", 4, FullWidthOnly::No), "");
  EXPECT_EQ(RefusalOf(Sjis("みお"), 4, FullWidthOnly::No), "");
  EXPECT_EQ(RefusalOf("", 4, FullWidthOnly::No), "文字列を入力してください。");
  EXPECT_EQ(RefusalOf("-12", kNumberInput, FullWidthOnly::No), "");
  EXPECT_EQ(RefusalOf("", kNumberInput, FullWidthOnly::No), "");
  EXPECT_EQ(RefusalOf("1-2", kNumberInput, FullWidthOnly::No), "数値を入力してください。");
  EXPECT_EQ(RefusalOf("+5", kNumberInput, FullWidthOnly::No), "数値を入力してください。");
}

}  // namespace
}  // namespace velmio::testing
