#include <filesystem>

#include "game_folder.h"
#include "script/scenario_loader.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

// Each test works in a fresh folder, which the loader reads as the game folder.
class ScenarioLoading : public ::testing::Test {
 protected:
  std::string Loaded() {
    LoadScenario(test.engine.script);
    return std::string(test.engine.script.Text(), test.engine.script.Length());
  }

  GameFolder folder_;
  TestEngine test;
};

TEST_F(ScenarioLoading, NumberedFilesInOrderWithGapsAndTextMode) {
  GameFolder::Write("3.txt", "three");
  GameFolder::Write("1.txt", "one\r\ntwo\r\n");
  GameFolder::Write("10.txt", "ten\x1A ignored after the end mark");
  EXPECT_EQ(Loaded(), "one\ntwo\n\nthree\nten\n");
  EXPECT_EQ(test.engine.script.DescribeLocation(0), "1.txt:1");
  EXPECT_EQ(test.engine.script.DescribeLocation(4), "1.txt:2");
  EXPECT_EQ(test.engine.script.DescribeLocation(9), "3.txt:1");
  EXPECT_EQ(test.engine.script.DescribeLocation(15), "10.txt:1");
}

TEST_F(ScenarioLoading, ObscuredFilesAndTheirPrecedence) {
  std::string plain = "*define\r\ngame";
  std::string secret;
  const unsigned char key[5] = {0x5E, 0xA1, 0x37, 0xC4, 0x0D};
  for (size_t i = 0; i < plain.size(); ++i) secret.push_back(static_cast<char>(plain[i] ^ key[i % 5]));
  std::string simple;
  for (char c : std::string("simple")) simple.push_back(static_cast<char>(c ^ 0x3B));
  GameFolder::Write("velm_sec.dat", secret);
  GameFolder::Write("velmio.dat", simple);
  EXPECT_EQ(Loaded(), plain + "\n");  // no line-end translation for obscured files
  std::filesystem::remove("velm_sec.dat");
  EXPECT_EQ(Loaded(), "simple\n");
  GameFolder::Write("0.txt", "zero");
  EXPECT_EQ(Loaded(), "zero\n");
}

TEST_F(ScenarioLoading, SizeLimitCountsOneLineFeedPerFile) {
  const size_t limit = kScriptBufferSize - 1;
  GameFolder::Write("0.txt", std::string(limit - 2, 'a'));
  GameFolder::Write("1.txt", "");
  EXPECT_EQ(Loaded().size(), limit);
  GameFolder::Write("2.txt", "");
  EXPECT_EQ(test.ErrorOf([&] { Loaded(); }), "エラー: シナリオが長すぎます。");
  for (const char* name : {"0.txt", "1.txt", "2.txt"}) std::filesystem::remove(name);
  GameFolder::Write("velmio.dat", std::string(limit, 'b'));
  EXPECT_EQ(test.ErrorOf([&] { Loaded(); }), "エラー: シナリオが長すぎます。");
}

TEST(LabelTable, PositionsCaseAndDuplicates) {
  TestEngine test;
  test.Load("  *First   \n*second ;note\n*Third goto *x\nmov %0,1 : *notalabel\n*x");
  Script& script = test.engine.script;
  ASSERT_EQ(script.Labels().size(), 4u);
  script.JumpToLabel("FIRST");
  EXPECT_EQ(std::string(script.Text() + script.position, 7), "*second");
  script.JumpToLabel("Second");
  EXPECT_EQ(script.Current(), ';');
  script.JumpToLabel("third");
  EXPECT_EQ(std::string(script.Text() + script.position, 4), "goto");
  EXPECT_FALSE(script.HasLabel("notalabel"));
  EXPECT_EQ(test.ErrorOf([&] { script.JumpToLabel("Missing"); }), "ラベルエラー: ラベル*Missingは存在しません");
  EXPECT_EQ(test.ErrorOf([&] { test.Load("*Scene\n*SCENE\n"); }), "エラー: ラベル*sceneの多重定義です。");
}

TEST(LabelTable, FiveThousandLabelsAndNoMore) {
  TestEngine test;
  std::string text;
  for (int i = 0; i < kMaxLabels; ++i) text += "*l" + std::to_string(i) + "\n";
  test.Load(text);
  EXPECT_EQ(test.engine.script.Labels().size(), static_cast<size_t>(kMaxLabels));
  test.engine.script.JumpToLabel("L4999");
  EXPECT_EQ(test.engine.script.position, static_cast<int32_t>(text.size()));
  EXPECT_EQ(test.ErrorOf([&] { test.Load(text + "*extra\n"); }), "エラー: ラベルが5000を超えました。");
}

}  // namespace
}  // namespace velmio::testing
