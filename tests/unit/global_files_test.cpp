// "gloval.sav" and "Velmflog.dat": their layouts, damaged copies, and what one run leaves for the
// next.
#include "game_folder.h"
#include "persist/global_files.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

TEST(GlobalFilesTest, GlobalsLayoutAndDamagedFiles) {
  VariableStore variables;
  variables.SetNumber(200, -2);
  variables.SetString(200, "ab");
  variables.SetNumber(4095, 0x01020304);
  variables.SetNumber(5, 99);  // a local variable: never in the file
  std::vector<uint8_t> bytes = EncodeGlobals(variables);
  ASSERT_EQ(bytes.size(), 3896u * 5 + 2);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b', 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 5, bytes.end()), (std::vector<uint8_t>{4, 3, 2, 1, 0}));

  // Cut short: what is there, then zeros and empty strings; a 600-byte string is cut to 511.
  // (Random files are the fuzzer's.)
  VariableStore read;
  read.SetNumber(4095, 77);
  read.SetString(300, "old");
  DecodeGlobals(std::span(bytes).first(5), read);
  EXPECT_EQ(std::tuple(read.Number(200), read.String(200), read.Number(4095), read.String(300)), std::tuple(-2, "a", 0, ""));
  std::vector<uint8_t> longString(4, 0);
  longString.insert(longString.end(), 600, 'x');
  DecodeGlobals(longString, read);
  EXPECT_EQ(read.String(200).size(), 511u);
}

TEST(GlobalFilesTest, PictureLogLayoutCaseAndDamagedFiles) {
  PictureLog log;
  log.enabled = true;
  LogPicture(log, "bg.bmp");
  LogPicture(log, "BG.BMP");
  LogPicture(log, ":a;st.bmp");
  std::vector<uint8_t> bytes = EncodePictureLog(log);
  std::string expected = "2\n\"";
  for (char c : std::string("BG.BMP")) expected.push_back(static_cast<char>(c ^ 0x3B));
  expected += "\"\"";
  for (char c : std::string(":A;ST.BMP")) expected.push_back(static_cast<char>(c ^ 0x3B));
  expected += "\"";
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);

  PictureLog read;
  read.enabled = true;
  DecodePictureLog(bytes, read);
  EXPECT_EQ(read.names, log.names);
  // A count larger than the entries, an entry without its closing quote, junk.
  PictureLog damaged;
  damaged.enabled = true;
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
  cut[0] = '9';
  DecodePictureLog(cut, damaged);
  EXPECT_EQ(damaged.names, std::vector<std::string>{"BG.BMP"});
  for (std::string junk : {"", "-1\n\"x\"", "x", "99999999999999999999\n\""}) DecodePictureLog(std::vector<uint8_t>(junk.begin(), junk.end()), damaged);
  EXPECT_EQ(damaged.names, std::vector<std::string>{"BG.BMP"});
}

// One run writes at its end what the next one reads at its start; without `globalon` the file
// is read but never written.
TEST(GlobalFilesTest, GlobalsAndPictureLogCarryOverToTheNextRun) {
  GameFolder folder;
  {
    TestEngine first;
    LoadGlobals(first.engine);
    EXPECT_EQ(first.engine.script.Number(300), 0);
    first.engine.persist.globalsOn = true;
    first.engine.pictureLog.enabled = true;
    first.engine.script.variables.SetNumber(300, 12345);
    first.engine.script.variables.SetString(4000, "kept");
    LogPicture(first.engine.pictureLog, "cg01.bmp");
    SaveGlobals(first.engine);
    WritePictureLog(first.engine);
  }
  TestEngine second;
  second.engine.script.variables.SetNumber(300, 1);
  LoadGlobals(second.engine);
  EXPECT_EQ(std::pair(second.engine.script.Number(300), second.engine.script.String(4000)), std::pair(12345, std::string("kept")));
  ReadPictureLog(second.engine);  // `filelog` not given: the log stays empty
  EXPECT_FALSE(PictureLogged(second.engine.pictureLog, "cg01.bmp"));
  second.engine.pictureLog.enabled = true;
  ReadPictureLog(second.engine);
  EXPECT_TRUE(PictureLogged(second.engine.pictureLog, "CG01.bmp"));

  second.engine.script.variables.SetNumber(300, 6);
  SaveGlobals(second.engine);  // `globalon` not given
  TestEngine third;
  LoadGlobals(third.engine);
  EXPECT_EQ(third.engine.script.Number(300), 12345);
}

}  // namespace
}  // namespace velmio::testing
