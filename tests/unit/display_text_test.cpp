// Typing story text and the text window commands on an in-process engine.
#include <memory>

#include "test_engine.h"
#include "text/display_text.h"
#include "text/menu_text.h"

namespace velmio::testing {
namespace {

class Typing : public ::testing::Test {
 protected:
  Typing() {
    engine().text.fontFace = Sjis("ＭＳ ゴシック");
    engine().text.charWait = 0;
    engine().script.phase = Phase::Run;
  }
  Interpreter& engine() { return test.engine; }
  std::string Run(const std::string& statement) { return test.Run(statement); }
  std::string Type(const std::string& utf8) {
    return test.ErrorOf([&] { DisplayText(engine(), Sjis(utf8)); });
  }
  // Types Shift JIS bytes from a buffer of exactly their size, so that a read past them is caught.
  std::string TypeExactly(const std::string& bytes) {
    auto exact = std::make_unique<char[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    return test.ErrorOf([&] { DisplayText(engine(), std::string_view(exact.get(), bytes.size())); });
  }
  EngineOn<PresentingPlatform> test;
};

TEST_F(Typing, ErrorsOfTheTextWindow) {
  // A `#` always starts a colour mark, even at the end of the line.
  const std::string colourError = "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。";
  EXPECT_EQ(Type("あ#12345gい"), colourError);
  EXPECT_EQ(engine().text.column, 1);
  EXPECT_EQ(Type("#ff"), colourError);
  EXPECT_EQ(Run("locate 30,0"), "");
  EXPECT_EQ(Type("あ"), "エラー！: 文字がウィンドウからはみ出ました");
  EXPECT_EQ(Run("locate 0,15"), "");
  EXPECT_EQ(Type("あ"), "エラー: 文字が枠をはみ出してしまいました。");
  EXPECT_EQ(Run("textmode 0"), "");
  EXPECT_EQ(Type("@\\"), "");  // marks are ignored while text is off...
  EXPECT_EQ(Type("あ"), "エラー！: textmodeが非表示設定なのに文字を書こうとしました。");  // ...text is an error
}

TEST_F(Typing, ErrorsOfTheCommands) {
  EXPECT_EQ(Run("setwindow 0,0,-1,3,26,26,0,2,0,1,1,#000000,0,0,639,479"),
            "エラー: setwindowの縦横文字数指定が間違っています。");
  for (const char* statement : {"setcursor 2,\"c.bmp\",0,0", "abssetcursor -1,\"c.bmp\",0,0"})
    EXPECT_EQ(Run(statement), "エラー: カーソルは０（通常）と１（クリック消去用）です。");
  for (const char* statement : {"trap start", "trap over"})
    EXPECT_EQ(Run(statement), "エラー: trap命令のパラメータは、offもしくは*ラベル名です。");
  EXPECT_EQ(Run("clickpos 1,%2"), "構文エラー: clickposの第一引数は数字変数です。");
  EXPECT_EQ(Run("clickpos %1,$2"), "構文エラー: clickposの第ニ引数は数字変数です。");
  EXPECT_EQ(Run("locate 1 2"), "構文エラー: コンマが必要なところにコンマが有りません。");
  EXPECT_EQ(Run("setwindow 0,0,3,3,26,26,0,2,0,1,1,\"missing.bmp\",0,0"), "ロードエラー: ファイルmissing.bmpを開けません。");
  EXPECT_EQ(Run("clickstr \"。\",1"), "構文エラー: 不正な命令\"clickstr\"です。");  // definition block only
}

TEST_F(Typing, OddBytesEndTheLineWithoutReadingPastIt) {
  EXPECT_EQ(TypeExactly(Sjis("あい") + "A"), "");
  EXPECT_EQ(engine().text.column, 2);  // no final line end after a broken pair
  EXPECT_EQ(engine().text.history.Position(), 4u);

  EXPECT_EQ(TypeExactly(Sjis("う") + "\x82"), "");
  EXPECT_EQ(engine().text.column, 3);

  // Two half-width letters share one cell; spaces and tabs take none.
  EXPECT_EQ(Type("ab cd\tef/"), "");
  EXPECT_EQ(engine().text.column, 6);
}

TEST_F(Typing, ALineWrapsRightAfterItsLastCell) {
  std::string line;
  for (int i = 0; i < 23; ++i) line += "あ";
  EXPECT_EQ(Type(line), "");
  EXPECT_EQ(engine().text.line, 1);  // one wrap, and no second line end
  EXPECT_EQ(Type(line + "い"), "");
  // The 24th character opened the next line.
  EXPECT_EQ(std::pair(engine().text.line, engine().text.column), std::pair(3, 0));
}

TEST_F(Typing, PageWaitsEndPagesInTheHistory) {
  engine().text.autoClick = true;  // waits pass by themselves
  engine().text.autoClickDelay = 0;
  TextState& text = engine().text;
  for (int page = 0; page < 11; ++page) EXPECT_EQ(Type("あい\\"), "");
  EXPECT_EQ(std::tuple(text.history.PageCount(), text.column, text.line), std::tuple(10, 0, 0));
  EXPECT_EQ(Run("textclear:br"), "");  // neither ends a page
  EXPECT_EQ(std::pair(text.history.PageCount(), text.line), std::pair(10, 1));
}

TEST_F(Typing, SpeedMenuAndPageAtATimeActOnTyping) {
  Interpreter& e = engine();
  auto typingTime = [&](const char* text) {
    const uint32_t start = e.platform.Milliseconds();
    EXPECT_EQ(Type(text), "");
    return e.platform.Milliseconds() - start;
  };
  e.text.charWait = kCharWaitFromMenu;
  e.input.speedIndex = 0;  // slow: 40 ms a character
  EXPECT_EQ(typingTime("あい/"), 82u);
  e.input.speedIndex = 2;  // fast: no delay beyond the clock's next tick
  EXPECT_EQ(typingTime("あい/"), 2u);
  // A page at a time: click-wait marks are not waited at (nobody would click here).
  e.input.pageMode = true;
  EXPECT_EQ(typingTime("う@え@"), 2u);
}

// Typing shows the window once, then copies one cell per character. In menu text the first
// character of a wrapped line is drawn one pitch right of the window's left edge, and the deferred
// form draws the same cells without showing any of them.
TEST_F(Typing, ShownAreasOfTypingAndMenuText) {
  std::vector<ScreenArea>& areas = test.platform.areas;
  TextState& text = engine().text;
  EXPECT_EQ(Type("あいう"), "");
  ASSERT_EQ(areas.size(), 4u);
  EXPECT_EQ(areas[0].width, kScreenWidth);  // the window effect over the window
  EXPECT_EQ(areas[1].width, text.glyphWidth);
  DisplayText(engine(), Sjis("え"));  // already shown: only the cell
  EXPECT_EQ(areas.size(), 5u);

  areas.clear();
  text.charsPerLine = 4;
  int column = 0, line = 0;
  auto menu = [&](const char* utf8, int fromColumn, int fromLine, ScreenArea* drawn = nullptr) {
    column = fromColumn;
    line = fromLine;
    return DrawMenuText(engine(), Sjis(utf8), column, line, 0xffffff, drawn);
  };
  menu("あいうえおか", 0, 0);
  ASSERT_EQ(areas.size(), 6u);
  EXPECT_EQ(areas[3].left, text.textX + 3 * text.pitchX);
  EXPECT_EQ(std::pair(areas[4].left, areas[4].top), std::pair(text.textX + text.pitchX, text.textY + text.pitchY));
  EXPECT_EQ(areas[5].left, text.textX + 2 * text.pitchX);
  EXPECT_EQ(line, 2);
  // With one cell left an empty pair of brackets takes the next character along; a negative
  // column is a pixel position (no wrap, no cells counted); ending exactly at column 0 leaves
  // the line as it is.
  menu("あ（）い", 1, 0);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(menu("あいうえおか", -100, -50), 0);
  EXPECT_EQ(std::pair(column, line), std::pair(0, -49));
  EXPECT_EQ(menu("あいうえ", 0, 3), 4);
  EXPECT_EQ(line, 4);

  areas.clear();
  ScreenArea drawn;
  EXPECT_EQ(menu("あいうえお", 0, 0, &drawn), 4);
  EXPECT_EQ(std::pair(column, line), std::pair(0, 2));
  EXPECT_TRUE(areas.empty());
  EXPECT_EQ(std::tuple(drawn.left, drawn.top, drawn.width, drawn.height),
            std::tuple(text.textX, text.textY, 3 * text.pitchX + text.glyphWidth, text.pitchY + text.glyphHeight));
}

}  // namespace
}  // namespace velmio::testing
