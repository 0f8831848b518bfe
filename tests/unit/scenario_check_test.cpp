// The author's check: what it knows of every command, and games it must find clean.
#include <algorithm>

#include "base/encoding.h"
#include "engine/command_table.h"
#include "engine/scenario_check.h"
#include "game_folder.h"
#include "script/scenario_loader.h"

namespace velmio::testing {
namespace {

TEST(ScenarioCheck, KnowsTheOperandsOfEveryCommand) {
  std::vector<std::string_view> missing;
  for (std::string_view name : CommandNames())
    if (!HasOperandSignature(name)) missing.push_back(name);
  EXPECT_TRUE(missing.empty()) << "no operand signature for " << missing.front();
}

TEST(ScenarioCheck, JumpsPhasesAndLinesAsTheEngineTakesThem) {
  GameFolder folder;
  GameFolder::Write("bg.bmp", std::string("BM"));
  // The definition block calls a subroutine that stands after the run phase's code, skips
  // lines, uses an alias in the run phase and jumps through a string variable; none of that is
  // a problem.
  GameFolder::Write("0.txt", Sjis("*define\n"
                                  "numalias pos,3\n"
                                  "gosub *settings\n"
                                  "game\n"
                                  "*start\n"
                                  "if %pos==3 bg \"bg.bmp\",1 : skip 2\n"
                                  "goto $1\n"
                                  "mov %%pos,1 : select \"一\",*one,\n"
                                  "  \"二\",*start\n"
                                  "*one\n"
                                  "本文です。%pos\\\n"
                                  "skip -4\n"
                                  "*settings\n"
                                  "effect 2,10,500 : savenumber 5\n"
                                  "return\n"));
  ScenarioCheck check = CheckScenario();
  EXPECT_TRUE(check.Clean()) << check.report.front();
  EXPECT_EQ(check.report.back(), "no problems");
}

TEST(ScenarioCheck, Utf8IsToldFromRealShiftJis) {
  EXPECT_FALSE(LooksLikeUtf8(Sjis("*start\n「こんにちは」と彼女は言った。ｶﾀｶﾅ\n")));
  EXPECT_FALSE(LooksLikeUtf8("plain ASCII, nothing to tell\n"));
  EXPECT_TRUE(LooksLikeUtf8("*start\n「こんにちは」\n"));
  EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBF*start\n"));
  EXPECT_FALSE(LooksLikeUtf8("\xE3\x81")) << "a sequence cut short";
}

}  // namespace
}  // namespace velmio::testing
