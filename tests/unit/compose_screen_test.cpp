// ComposeScreen — background and background window, sprite order around humanz and
// the standing pictures, the filters and their order, the working rectangle.
#include "graphics/compose.h"
#include "graphics/graphics_lifecycle.h"
#include "graphics_test_support.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

class ComposeScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Paint(g().background.surface, 640, 480, [](int x, int y) { return Pattern(x, y, 20); });
  }
  GraphicsState& g() { return test.engine.graphics; }
  Rgb At(int x, int y) { return GetPixel(g().compose, x, y); }

  void Solid(PictureLayer& layer, int w, int h, Rgb colour) {
    layer.Reset();
    Paint(layer.surface, w, h, [=](int, int) { return colour; });
  }
  Sprite& SpriteAt(int number, int x, int y, Rgb colour) {
    Sprite& s = g().sprites[number];
    Solid(s.layer, 10, 10, colour);
    g().SetSprite(number, "sprite", x, y, 1);
    return s;
  }
  StandingPicture& StandingAt(int index, int x, int y, Rgb colour) {
    StandingPicture& p = g().standing[index];
    Solid(p.layer, 10, 10, colour);
    g().PlaceStanding(index, "standing", x, y);
    return p;
  }

  TestEngine test;
};

TEST_F(ComposeScreenTest, LayerOrderAroundHumanz) {
  // Lower sprite numbers lie on top; the standing pictures go left, centre, right; humanz decides
  // which sprites lie behind them.
  StandingAt(kStandingLeft, 90, 100, kBlack);
  StandingAt(kStandingCentre, 100, 100, kBlue);
  StandingAt(kStandingRight, 108, 100, kGreen);
  SpriteAt(30, 95, 95, kRed);      // behind (30 > humanz 29)
  SpriteAt(29, 105, 105, kGreen);  // in front
  SpriteAt(5, 10, 10, kRed);
  SpriteAt(4, 15, 15, kGreen);
  SpriteAt(59, 12, 12, kBlue);
  test.engine.RecomposeScreen();
  // Sprite 30 shows where nothing covers it; the left standing picture covers it, the centre one
  // the left one, the right one the centre one; sprite 29 covers them all; 4 over 5 over 59.
  for (auto [x, y, colour] : {std::tuple{96, 96, kRed}, {99, 101, kBlack}, {102, 102, kBlue}, {109, 101, kGreen},
                              {106, 106, kGreen}, {16, 16, kGreen}, {13, 13, kRed}, {20, 13, kBlue}})
    EXPECT_EQ(At(x, y), colour) << x << "," << y;
  g().humanz = 59;  // every sprite in front
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(102, 102), kRed);
  g().humanz = 0;  // only sprite 0 in front
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(106, 106), kBlue);
}

TEST_F(ComposeScreenTest, HiddenAndUnnamedLayersAreNotDrawnAndNoBackgroundIsBlack) {
  SpriteAt(3, 0, 0, kRed);
  g().SetSpriteVisible(3, 0);
  SpriteAt(4, 20, 0, kRed);
  g().ClearSpriteName(4);
  StandingAt(kStandingLeft, 40, 0, kRed);
  g().ClearStandingName(kStandingLeft);
  test.engine.RecomposeScreen();
  for (auto [x, y] : {std::pair{1, 1}, {21, 1}, {41, 1}, {639, 479}}) EXPECT_EQ(At(x, y), Pattern(x, y, 20));
  g().background.Reset();
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(10, 10), kBlack);
}

TEST_F(ComposeScreenTest, OnlyTheWorkingRectangleChanges) {
  Paint(g().compose, 640, 480, [](int, int) { return kBlack; });
  SpriteAt(0, 95, 95, kRed);
  test.engine.RecomposeScreen(DirtyRect{100, 100, 109, 109});
  for (auto [x, y, colour] : {std::tuple{100, 100, kRed}, {104, 104, kRed}, {105, 105, Pattern(105, 105, 20)},
                              {109, 109, Pattern(109, 109, 20)}, {99, 100, kBlack}, {110, 105, kBlack}, {105, 110, kBlack}})
    EXPECT_EQ(At(x, y), colour) << x << "," << y;  // clipped to the rectangle
  // (0, 0, 640, 480) stands for the whole screen.
  test.engine.RecomposeScreen(DirtyRect{0, 0, 640, 480});
  EXPECT_EQ(At(639, 479), Pattern(639, 479, 20));
  EXPECT_EQ(At(96, 96), kRed);
}

TEST_F(ComposeScreenTest, BackgroundWindowShiftsAndCutsWithBlackAround) {
  // bgalia 100, 50, 200, 100: the background is shown at (100, 50), cut to 200 x 100.
  g().backgroundWindow = BackgroundWindow{100, 50, 200, 100};
  Paint(g().background.surface, 200, 100, [](int x, int y) { return Pattern(x, y, 30); });
  test.engine.RecomposeScreen();
  EXPECT_EQ((std::array{At(100, 50), At(299, 149), At(150, 70)}),
            (std::array{Pattern(0, 0, 30), Pattern(199, 99, 30), Pattern(50, 20, 30)}));
  for (auto [x, y] : {std::pair{99, 50}, {300, 50}, {100, 49}, {100, 150}, {0, 0}}) EXPECT_EQ(At(x, y), kBlack);
  // A working rectangle inside the window takes the matching part of the background.
  test.engine.RecomposeScreen(DirtyRect{120, 60, 130, 70});
  EXPECT_EQ(At(125, 65), Pattern(25, 15, 30));
  // A larger background is still cut to the window's size.
  Paint(g().background.surface, 640, 480, [](int x, int y) { return Pattern(x, y, 40); });
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(299, 149), Pattern(199, 99, 40));
  for (auto [x, y] : {std::pair{300, 149}, {299, 150}}) EXPECT_EQ(At(x, y), kBlack);
}

Rgb Inverted(Rgb c) { return Rgb{uint8_t(255 - c.r), uint8_t(255 - c.g), uint8_t(255 - c.b)}; }
Rgb Grey(Rgb c, Rgb tint) {
  const int l = (c.r + c.g + c.b) / 3;
  return Rgb{T(l, tint.r), T(l, tint.g), T(l, tint.b)};
}

TEST_F(ComposeScreenTest, FiltersAndTheirOrder) {
  const Rgb p = Pattern(7, 9, 20);
  const Rgb tint{255, 128, 0};
  g().negativeMode = 1;
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(7, 9), Inverted(p));
  g().monochrome = true;
  std::tie(g().monochromeRed, g().monochromeGreen, g().monochromeBlue) = std::tuple(255, 128, 0);
  test.engine.RecomposeScreen();
  // Inverted first: the grey of the negative, over every pixel of the screen.
  Surface expected;
  Paint(expected, 640, 480, [&](int x, int y) { return Grey(Inverted(Pattern(x, y, 20)), tint); });
  EXPECT_TRUE(SameSurface(expected, g().compose));
  g().negativeMode = 2;
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(7, 9), Inverted(Grey(p, tint)));
  g().negativeMode = 3;  // any other value inverts nothing
  test.engine.RecomposeScreen();
  EXPECT_EQ(At(7, 9), Grey(p, tint));
  // Over a part of the screen the filters touch only that part, every edge of it.
  g().negativeMode = 0;
  g().monochrome = false;
  test.engine.RecomposeScreen();
  g().negativeMode = 1;
  g().monochrome = true;
  test.engine.RecomposeScreen(DirtyRect{5, 5, 8, 9});
  for (int y = 4; y <= 10; ++y)
    for (int x = 4; x <= 9; ++x) {
      const bool inside = x >= 5 && x <= 8 && y >= 5 && y <= 9;
      const Rgb q = Pattern(x, y, 20);
      EXPECT_EQ(At(x, y), inside ? Grey(Inverted(q), tint) : q) << x << "," << y;
    }
}

TEST_F(ComposeScreenTest, LifecycleClearsTheScreenAndKeepsSettings) {
  SpriteAt(3, 10, 20, kRed);
  StandingAt(kStandingRight, 1, 2, kRed);
  g().humanz = 7;
  g().monochrome = true;
  g().negativeMode = 2;
  g().dirty.Add(1, 2, 3, 4);
  Paint(g().display, 640, 480, [](int, int) { return kRed; });
  ResetGraphicsForStart(test.engine);
  EXPECT_EQ(std::tuple(GetPixel(g().display, 5, 5), GetPixel(g().background.surface, 5, 5), g().dirty.Empty(),
                       g().BackgroundName()),
            std::tuple(kBlack, kBlack, true, "black"));
  const Sprite& sprite = g().sprites[3];  // the visible flag and the picture stay
  EXPECT_EQ(std::tuple(sprite.Name(), sprite.X(), sprite.Visible(), sprite.layer.Empty()), std::tuple("", 0, 1, false));
  EXPECT_TRUE(g().standing[kStandingRight].Name().empty());
  EXPECT_EQ(g().humanz, 7);  // not reset by ResetToStart
  ResetGraphicsFiltersForStart(test.engine);
  EXPECT_EQ(std::pair(g().monochrome, g().negativeMode), std::pair(false, 0));
  // A new run of the definition block starts from the defaults again.
  g().backgroundWindow = BackgroundWindow{1, 2, 3, 4};
  g().effectSlots[2].type = 5;
  g().effectBlank = 0;
  InitialiseGraphics(test.engine);
  EXPECT_EQ(std::tuple(g().humanz, g().backgroundWindow.On(), g().effectSlots[1].type, g().effectSlots[2].type,
                       g().effectBlank, sprite.layer.Empty()),
            std::tuple(29, false, 1, -1, 30, true));
}

}  // namespace
}  // namespace velmio::testing
