#include "engine/run_scenario.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

class OperandReaders : public ::testing::Test {
 protected:
  // Positions the script at the start of `utf8Text` (a single operand line).
  Script& At(const std::string& utf8Text) {
    test.Load(utf8Text);
    test.engine.script.position = 0;
    return test.engine.script;
  }
  TestEngine test;
};

TEST_F(OperandReaders, NumberLiteralsSignsAndWrap) {
  EXPECT_EQ(At("-0012").ReadNumber(), -12);
  EXPECT_EQ(At("+7").ReadNumber(), 7);
  Script& script = At("- 5");
  EXPECT_EQ(script.ReadNumber(), 0);  // a sign alone reads as zero...
  EXPECT_EQ(script.Current(), '5');   // ...and leaves what follows for the next statement
  EXPECT_EQ(At("4294967297").ReadNumber(), 1);  // 18 digits are accepted and wrap modulo 2^32
  EXPECT_EQ(At("123456789012345678").ReadNumber(), static_cast<int32_t>(123456789012345678ull));
  EXPECT_EQ(test.ErrorOf([&] { At("1234567890123456789").ReadNumber(); }),
            "構文エラー: 数字が長すぎます。:1234567890123456789");
}

TEST_F(OperandReaders, VariablesIndirectionAndRange) {
  Script& script = At("%%0 , x");
  script.variables.SetNumber(0, 7);
  script.variables.SetNumber(7, 99);
  EXPECT_EQ(script.ReadNumber(), 99);
  EXPECT_EQ(script.Current(), ',');
  EXPECT_EQ(test.ErrorOf([&] { At("%4096").ReadNumber(); }), "実行時エラー: 変数番号4096は0から4095の範囲にありません。");
  EXPECT_EQ(test.ErrorOf([&] { At("$-1").ReadString(); }), "実行時エラー: 変数番号-1は0から4095の範囲にありません。");
}

TEST_F(OperandReaders, IndirectionDepthIsBounded) {
  const std::string tooDeep = "構文エラー: 変数の間接指定が深すぎます。64段までです。";
  EXPECT_EQ(At(std::string(kMaxIndirectionDepth, '%') + "0").ReadNumber(), 0);
  // A hostile chain ends in an error, never in a stack overflow: as a number, a string variable's
  // number and inside a story line.
  const std::string chain(100000, '%');
  EXPECT_EQ(test.ErrorOf([&] { At(chain + "5").ReadNumber(); }), tooDeep);
  EXPECT_EQ(test.ErrorOf([&] { At("$" + chain + "5").ReadString(); }), tooDeep);
  EXPECT_EQ(test.ErrorOf([&] { ExpandTextLine(At("あ" + chain + "5")); }), tooDeep);
  // The depth unwinds with the error, so the next operand reads normally.
  EXPECT_EQ(At("%%1").ReadNumber(), 0);
}

TEST_F(OperandReaders, StringLiteralsAndLimits) {
  EXPECT_EQ(At("\"a;b:c,d\"").ReadString(), "a;b:c,d");
  EXPECT_EQ(ShiftJisToUtf8(At("\"表示\"").ReadString()), "表示");
  std::string longest(254, 'x');
  EXPECT_EQ(At("\"" + longest + "\"").ReadString(), longest);
  EXPECT_EQ(test.ErrorOf([&] { At("\"" + longest + "y\"").ReadString(); }),
            "構文エラー: 文字列が長すぎます。:" + longest + "y");
  EXPECT_EQ(test.ErrorOf([&] { At("\"open\nx\"").ReadString(); }), "構文エラー: 文字列中に改行が有ります。");
  EXPECT_EQ(test.ErrorOf([&] { At("\"no end").ReadString(); }), "構文エラー: 文字列中に改行が有ります。");
  // A variable made longer than any literal cannot be used as an operand.
  Script& script = At("$5");
  script.variables.SetString(5, std::string(256, 'z'));
  EXPECT_EQ(test.ErrorOf([&] { script.ReadString(); }), "実行時エラー: 文字列変数$5が255バイトを超えています。");
}

TEST_F(OperandReaders, AliasesAreFoundCaseInsensitively) {
  Script& script = At("SCORE");
  script.numberAliases.Add("score", 10);
  script.stringAliases.Add("name", "abc");
  EXPECT_EQ(script.ReadNumber(), 10);
  script.position = 0;
  EXPECT_EQ(test.ErrorOf([&] { script.ReadString(); }),
            "構文エラー: 文字列が来るべきところに文字列がありません。");
  EXPECT_EQ(test.ErrorOf([&] { At("missing").ReadNumber(); }),
            "構文エラー: 数字がくるべきところに数字がありません。");
}

TEST_F(OperandReaders, TokensLabelsAndColours) {
  EXPECT_EQ(At("  Hello_World2 x").ReadToken(), "hello_world2");
  EXPECT_EQ(At("2abc").ReadToken(), "");
  EXPECT_EQ(test.ErrorOf([&] { At(std::string(255, 'a')).ReadToken(); }),
            "命令エラー: 長すぎるトークンです:" + std::string(255, 'a'));
  EXPECT_EQ(At("*Scene1").ReadLabel(), "scene1");
  EXPECT_EQ(At("\"*Scene1\"").ReadLabel(), "Scene1");  // folded at lookup
  EXPECT_EQ(test.ErrorOf([&] { At("\"scene\"").ReadLabel(); }),
            "実行時エラー: ラベル名を指定すべきところで文字列が代わりに指定されましたが、文字列の先頭が*ではありません。");
  EXPECT_EQ(test.ErrorOf([&] { At("scene").ReadLabel(); }),
            "構文エラー: ラベル名が来るべきところにラベル名が来ませんでした。");
  EXPECT_EQ(At("#75fE1b").ReadColor(), 0x75FE1Bu);
  EXPECT_EQ(test.ErrorOf([&] { At("#75fg1b").ReadColor(); }),
            "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。");
  EXPECT_EQ(test.ErrorOf([&] { At("#12").ReadColor(); }),
            "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。");
  EXPECT_EQ(test.ErrorOf([&] { At("  x").ExpectComma(); }), "構文エラー: コンマが必要なところにコンマが有りません。");
}

TEST_F(OperandReaders, StoryTextIsLimitedAfterExpansion) {
  const std::string tooLong = "構文エラー: 表示文が長すぎます。展開後527バイトまでです。";
  EXPECT_EQ(ExpandTextLine(At(std::string(527, 'a') + "\nx")).size(), 527u);
  EXPECT_EQ(test.ErrorOf([&] { ExpandTextLine(At(std::string(528, 'a'))); }), tooLong);
  // A number becomes two bytes per full-width digit.
  Script& script = At(std::string(523, 'a') + "%0");
  script.variables.SetNumber(0, 9);
  EXPECT_EQ(ExpandTextLine(script).size(), 525u);
  script.position = 0;
  script.variables.SetNumber(0, 100);
  EXPECT_EQ(test.ErrorOf([&] { ExpandTextLine(script); }), tooLong);
}

TEST_F(OperandReaders, DefinitionBlockLimits) {
  Script& script = test.engine.script;
  for (int i = 0; i < 4096; ++i) {
    script.numberAliases.Add("n" + std::to_string(i), i);
    script.stringAliases.Add("s" + std::to_string(i), "");
  }
  EXPECT_EQ(test.Run("numalias extra,1", Phase::Definition), "エラー: 数字エイリアスが多すぎます。");
  EXPECT_EQ(test.Run("stralias extra,\"x\"", Phase::Definition), "エラー: 文字列エイリアスが多すぎます。");
  EXPECT_EQ(test.Run("if fchk \"a.bmp\" end", Phase::Definition), "エラー: fchk条件式は、定義ブロックでは使えません。");
}

}  // namespace
}  // namespace velmio::testing
