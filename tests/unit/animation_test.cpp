#include "graphics/animation.h"
#include "unit/graphics_test_support.h"
#include "unit/test_engine.h"

namespace velmio::testing {
namespace {

constexpr uint32_t kCellColours[3] = {0xFF0000, 0x00FF00, 0x0000FF};

class Animation : public ::testing::Test {
 protected:
  // A shown sprite of `cells` 2 x 2 cells, each of its own colour, opaque, at (x, 0).
  Sprite& AnimatedSprite(int number, int cells, int32_t interval, AnimationMode mode, int x = 0) {
    Sprite& sprite = graphics.sprites[number];
    graphics.SetSprite(number, "anim.bmp", x, 0, 1);
    PictureLayer& layer = sprite.layer;
    layer.Reset();
    layer.MakeBlank(2 * cells, 2, 24);
    for (int cell = 0; cell < cells; ++cell) layer.Fill(2 * cell, 0, 2 * cell + 2, 2, kCellColours[cell % 3]);
    layer.mode = TransparencyMode::Copy;
    layer.cells = cells;
    layer.interval = interval;
    layer.animationMode = mode;
    return sprite;
  }

  // The cells shown after each of `ticks` intervals of `step` ms.
  std::vector<int> CellsOver(PictureLayer& layer, int ticks, uint32_t step) {
    std::vector<int> cells;
    for (int i = 0; i < ticks; ++i) {
      test.platform.Idle(step, WaitKind::Timed);
      AnimationTick(test.engine);
      cells.push_back(layer.cell);
    }
    return cells;
  }

  TestEngine test;
  GraphicsState& graphics = test.engine.graphics;
};

TEST_F(Animation, ThreeModes) {
  PictureLayer& loop = AnimatedSprite(0, 3, 100, AnimationMode::Loop).layer;
  EXPECT_EQ(CellsOver(loop, 5, 101), (std::vector<int>{1, 2, 0, 1, 2}));

  PictureLayer& backAndForth = AnimatedSprite(0, 3, 100, AnimationMode::BackAndForth).layer;
  backAndForth.lastTick = test.platform.Milliseconds();
  EXPECT_EQ(CellsOver(backAndForth, 7, 101), (std::vector<int>{1, 2, 1, 0, 1, 2, 1}));

  PictureLayer& stop = AnimatedSprite(0, 3, 100, AnimationMode::StopOnLast).layer;
  stop.lastTick = test.platform.Milliseconds();
  EXPECT_EQ(CellsOver(stop, 2, 101), (std::vector<int>{1, 2}));
  const uint32_t lastMove = stop.lastTick;
  graphics.dirty.Clear();
  EXPECT_EQ(CellsOver(stop, 3, 101), (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(stop.lastTick, lastMove);  // no redraw and no new tick on the last cell
  EXPECT_TRUE(graphics.dirty.Empty());
}

TEST_F(Animation, DueOnlyAfterMoreThanTheInterval) {
  PictureLayer& layer = AnimatedSprite(3, 4, -1, AnimationMode::Loop).layer;
  layer.intervals = {100, 300, 50, 50};
  EXPECT_EQ(CellsOver(layer, 1, 100), (std::vector<int>{0}));  // exactly the interval: not yet
  EXPECT_EQ(CellsOver(layer, 1, 1), (std::vector<int>{1}));
  EXPECT_EQ(CellsOver(layer, 2, 151), (std::vector<int>{1, 2}));  // cell 1 lasts 300 ms
  EXPECT_EQ(CellsOver(layer, 2, 51), (std::vector<int>{3, 0}));
}

TEST_F(Animation, MovedCellsAreComposedAndShown) {
  AnimatedSprite(5, 3, 100, AnimationMode::Loop, 10);
  // Hidden sprites, sprites without a name and single-cell pictures never move.
  Sprite& hidden = AnimatedSprite(6, 3, 0, AnimationMode::Loop);
  graphics.SetSpriteVisible(6, 0);
  Sprite& unnamed = AnimatedSprite(7, 3, 0, AnimationMode::Loop);
  graphics.ClearSpriteName(7);
  test.platform.Idle(101, WaitKind::Timed);
  AnimationTick(test.engine);
  const Surface& shown = graphics.display;
  EXPECT_EQ((std::array{Hex(shown, 10, 0), Hex(shown, 11, 1), Hex(shown, 12, 0)}),
            (std::array{kCellColours[1], kCellColours[1], 0u}));
  EXPECT_TRUE(graphics.dirty.Empty());  // the show took the rectangle
  EXPECT_EQ(std::pair(hidden.layer.cell, unnamed.layer.cell), std::pair(0, 0));
}

TEST_F(Animation, PendingInputStopsThePass) {
  PictureLayer& first = AnimatedSprite(0, 2, 10, AnimationMode::Loop).layer;
  PictureLayer& second = AnimatedSprite(1, 2, 10, AnimationMode::Loop).layer;
  auto cells = [&] { return std::pair(first.cell, second.cell); };
  graphics.PlaceStanding(kStandingCentre, "x", 0, 0);
  test.platform.Idle(20, WaitKind::Timed);
  test.engine.messages.Post(Message{MessageKind::Timer});
  AnimationTick(test.engine);  // a timer message is not input
  EXPECT_EQ(cells(), std::pair(1, 1));
  test.platform.Idle(20, WaitKind::Timed);
  test.engine.messages.Post(Message{MessageKind::LeftButtonDown});
  AnimationTick(test.engine);
  EXPECT_EQ(cells(), std::pair(1, 1));
  test.engine.messages.Clear();
  AnimationTick(test.engine);
  EXPECT_EQ(cells(), std::pair(0, 0));
}

}  // namespace
}  // namespace velmio::testing
