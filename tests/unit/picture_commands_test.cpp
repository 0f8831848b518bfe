#include <cstring>

#include "unit/graphics_test_support.h"
#include "unit/bmp_builder.h"
#include "unit/game_folder.h"
#include "unit/test_engine.h"

namespace velmio::testing {
namespace {

class PictureCommandsTest : public ::testing::Test {
 protected:
  PictureCommandsTest() { BmpBuilder(10, 20, 24).Write("p.bmp"); }

  std::string Run(const std::string& statement, Phase phase = Phase::Run) { return test.Run(statement, phase); }

  GraphicsState& Graphics() { return test.engine.graphics; }

  GameFolder folder;
  TestEngine test;
};

TEST_F(PictureCommandsTest, SpriteNumbersAndNames) {
  const std::string undefined = "エラー: 定義されていないスプライト7を使おうとしました。";
  EXPECT_EQ(Run("csp 7"), "");  // clearing an empty sprite is not an error
  EXPECT_EQ(Run("vsp 7,1"), undefined);
  EXPECT_EQ(Run("msp 7,1,1"), undefined);
  for (auto [statement, number] : {std::pair{"lsp 60,\"p.bmp\",0,0", "60"}, {"lsph -1,\"p.bmp\",0,0", "-1"},
                                   {"csp 60", "60"}, {"csp -2", "-2"}, {"vsp 60,1", "60"}, {"msp -5,0,0", "-5"}})
    EXPECT_EQ(Run(statement), std::string("エラー: スプライト番号") + number + "は0～59の範囲外です。");
  EXPECT_EQ(Run("lsp 59,\"p.bmp\",0,0"), "");
  EXPECT_EQ(Graphics().sprites[59].Name(), "p.bmp");
}

TEST_F(PictureCommandsTest, SpriteAlpha) {
  // Alpha is held inside the blend table; msp adds to it, no alpha counting as 255.
  const Sprite& sprite = Graphics().sprites[2];
  const PictureLayer* left = &Graphics().standing[kStandingLeft].layer;
  const PictureLayer* centre = &Graphics().standing[kStandingCentre].layer;
  for (auto [statement, layer, alpha] :
       {std::tuple{"lsp 2,\"p.bmp\",5,6,300", &sprite.layer, 255}, {"lsp 2,\"p.bmp\",5,6", &sprite.layer, -1},
        {"msp 2,0,0,-10", &sprite.layer, 245}, {"msp 2,3,4,-1000", &sprite.layer, 0}, {"tal l,300,0", left, 255},
        {"tal c,-5,0", centre, 0}}) {
    EXPECT_EQ(Run(statement), "");
    EXPECT_EQ(layer->alpha, alpha) << statement;
  }
  EXPECT_EQ(std::pair(sprite.X(), sprite.Y()), std::pair(8, 10));
}

TEST_F(PictureCommandsTest, DirtyRectangles) {
  EXPECT_EQ(Run("lsph 1,\"p.bmp\",30,40"), "");
  EXPECT_TRUE(Graphics().dirty.Empty());  // hidden: nothing to redraw
  EXPECT_EQ(Run("vsp 1,1"), "");
  EXPECT_EQ(Edges(Graphics().dirty), (std::array{30, 40, 41, 61}));
  Graphics().dirty.Clear();
  EXPECT_EQ(Run("vsp 1,1"), "");
  EXPECT_TRUE(Graphics().dirty.Empty());  // unchanged flag
  // A sprite thrown far off the screen leaves a rectangle that draws nothing, not an overflow.
  EXPECT_EQ(Run("msp 1,2147483000,2147483000"), "");
  EXPECT_EQ(Run("print 1"), "");
}

TEST_F(PictureCommandsTest, StandingPictures) {
  // Where each one stands and `cl` of one are the placement scenario's.
  EXPECT_EQ(Run("ld c,\"p.bmp\",0:ld x,\"p.bmp\",0:ld r,\"p.bmp\",0"), "");
  EXPECT_TRUE(Graphics().standing[kStandingLeft].Name().empty());  // an unknown position changes nothing
  EXPECT_EQ(Run("cl A,0"), "");
  for (const StandingPicture& standing : Graphics().standing) EXPECT_TRUE(standing.Name().empty() && standing.layer.Empty());
  EXPECT_EQ(Run("ld c \"p.bmp\",0"), "構文エラー: コンマが必要なところにコンマが有りません。");
}

TEST_F(PictureCommandsTest, BackgroundOperands) {
  // The name is what a save file needs to rebuild the background; bg clears the standing pictures.
  EXPECT_EQ(Run("ld c,\"p.bmp\",0:bg white,0"), "");
  const Surface& shown = Graphics().background.surface;
  EXPECT_EQ(std::tuple(Graphics().BackgroundName(), shown.Row(0)[0], Graphics().standing[kStandingCentre].Name()),
            std::tuple("white", 0xFF, ""));
  EXPECT_EQ(Run("bg #102030,0"), "");
  EXPECT_EQ(std::pair(Graphics().BackgroundName(), shown.Row(479)[639 * 3 + 2]), std::pair(std::string("#102030"), uint8_t{0x10}));
  test.engine.script.stringAliases.Add("room", "p.bmp");
  EXPECT_EQ(Run("bg room,0"), "");
  EXPECT_EQ(std::pair(Graphics().BackgroundName(), shown.width), std::pair(std::string("p.bmp"), 640));
  EXPECT_EQ(Run("bg \"none.bmp\",0"), "ロードエラー: ファイルnone.bmpを開けません。");
}

TEST_F(PictureCommandsTest, Settings) {
  for (const char* statement : {"humanz 60", "humanz -1"})
    EXPECT_EQ(Run(statement, Phase::Definition), "エラー: humanz指定が範囲外です。");
  EXPECT_EQ(Run("transmode copy", Phase::Definition), "");
  EXPECT_EQ(Graphics().defaultTransparency, TransparencyMode::Copy);
  EXPECT_EQ(Run("humanz 0:transmode alpha:bgalia 1,2,3,4", Phase::Definition), "");
  EXPECT_EQ(std::tuple(Graphics().humanz, Graphics().defaultTransparency, Graphics().backgroundWindow.height),
            std::tuple(0, TransparencyMode::AlphaMask, 4));
  EXPECT_EQ(Run("transmode opaque", Phase::Definition), "構文エラー: transmode命令の次はleftup、copy、alphaのいずれかです。");
  EXPECT_EQ(Run("monocro #ff8000:nega 2"), "");
  EXPECT_EQ(std::tuple(Graphics().monochrome, Graphics().monochromeGreen, Graphics().negativeMode, Graphics().dirty.right),
            std::tuple(true, 0x80, 2, 639));
  EXPECT_EQ(Run("monocro OFF"), "");
  EXPECT_FALSE(Graphics().monochrome);
  for (const char* statement : {"monocro on", "monocro 3"})
    EXPECT_EQ(Run(statement), "構文エラー: monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。");
  // Definition-only commands are unknown in the run phase, and the other way round.
  EXPECT_EQ(Run("humanz 3"), "構文エラー: 不正な命令\"humanz\"です。");
  EXPECT_EQ(Run("bg black,0", Phase::Definition), "構文エラー: 不正な命令\"bg\"です。");
}

TEST_F(PictureCommandsTest, QuakeTakesItsTimeAndLeavesTheSurfaces) {
  std::memset(Graphics().display.pixels, 0x5A, Graphics().display.imageSize);
  const uint32_t start = test.platform.Milliseconds();
  EXPECT_EQ(Run("quakex 2,320"), "");
  EXPECT_EQ(test.platform.Milliseconds() - start, 320u);  // 32 frames of 10 ms
  EXPECT_EQ(Graphics().display.pixels[0], 0x5A);
  EXPECT_EQ(Graphics().display.pixels[Graphics().display.imageSize - 1], 0x5A);
  EXPECT_TRUE(Graphics().dirty.Empty());
  EXPECT_EQ(Run("quakey 0,1000"), "");
  EXPECT_EQ(test.platform.Milliseconds() - start, 320u);
  EXPECT_EQ(Run("quakey 1000000,100"), "");  // huge amplitudes only shift off the screen
}

}  // namespace
}  // namespace velmio::testing
