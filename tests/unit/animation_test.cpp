#include <gtest/gtest.h>

#include <vector>

#include "graphics/animation.h"
#include "unit/test_engine.h"

namespace velmio {
namespace {

using testing::TestEngine;

constexpr uint32_t kCellColours[3] = {0xFF0000, 0x00FF00, 0x0000FF};

// A shown sprite of `cells` 2 x 2 cells, each of its own colour, opaque, at (x, 0).
Sprite& AnimatedSprite(GraphicsState& graphics, int number, int cells, int32_t interval, AnimationMode mode, int x = 0) {
  Sprite& sprite = graphics.sprites[number];
  sprite.name = "anim.bmp";
  sprite.visible = 1;
  sprite.x = x;
  sprite.y = 0;
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

uint32_t DisplayPixel(const GraphicsState& graphics, int x, int y) {
  const uint8_t* p = graphics.display.Row(y) + 3 * x;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// The cells shown after each of `ticks` intervals of `step` ms.
std::vector<int> CellsOver(TestEngine& test, PictureLayer& layer, int ticks, uint32_t step) {
  std::vector<int> cells;
  for (int i = 0; i < ticks; ++i) {
    test.platform.Idle(step, WaitKind::Timed);
    AnimationTick(test.engine);
    cells.push_back(layer.cell);
  }
  return cells;
}

TEST(AnimationTick, ThreeModes) {
  TestEngine test;
  GraphicsState& graphics = test.engine.graphics;
  PictureLayer& loop = AnimatedSprite(graphics, 0, 3, 100, AnimationMode::Loop).layer;
  EXPECT_EQ(CellsOver(test, loop, 5, 101), (std::vector<int>{1, 2, 0, 1, 2}));

  PictureLayer& backAndForth = AnimatedSprite(graphics, 0, 3, 100, AnimationMode::BackAndForth).layer;
  backAndForth.lastTick = test.platform.Milliseconds();
  EXPECT_EQ(CellsOver(test, backAndForth, 7, 101), (std::vector<int>{1, 2, 1, 0, 1, 2, 1}));

  PictureLayer& stop = AnimatedSprite(graphics, 0, 3, 100, AnimationMode::StopOnLast).layer;
  stop.lastTick = test.platform.Milliseconds();
  EXPECT_EQ(CellsOver(test, stop, 2, 101), (std::vector<int>{1, 2}));
  const uint32_t lastMove = stop.lastTick;
  graphics.dirty.Clear();
  EXPECT_EQ(CellsOver(test, stop, 3, 101), (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(stop.lastTick, lastMove);  // no redraw and no new tick on the last cell
  EXPECT_TRUE(graphics.dirty.Empty());
}

TEST(AnimationTick, DueOnlyAfterMoreThanTheInterval) {
  TestEngine test;
  GraphicsState& graphics = test.engine.graphics;
  PictureLayer& layer = AnimatedSprite(graphics, 3, 4, -1, AnimationMode::Loop).layer;
  layer.intervals = {100, 300, 50, 50};
  EXPECT_EQ(CellsOver(test, layer, 1, 100), (std::vector<int>{0}));  // exactly the interval: not yet
  EXPECT_EQ(CellsOver(test, layer, 1, 1), (std::vector<int>{1}));
  EXPECT_EQ(CellsOver(test, layer, 2, 151), (std::vector<int>{1, 2}));  // cell 1 lasts 300 ms
  EXPECT_EQ(CellsOver(test, layer, 2, 51), (std::vector<int>{3, 0}));
}

TEST(AnimationTick, MovedCellsAreComposedAndShown) {
  TestEngine test;
  GraphicsState& graphics = test.engine.graphics;
  AnimatedSprite(graphics, 5, 3, 100, AnimationMode::Loop, 10);
  test.platform.Idle(101, WaitKind::Timed);
  AnimationTick(test.engine);
  EXPECT_EQ(DisplayPixel(graphics, 10, 0), kCellColours[1]);
  EXPECT_EQ(DisplayPixel(graphics, 11, 1), kCellColours[1]);
  EXPECT_EQ(DisplayPixel(graphics, 12, 0), 0u);
  EXPECT_TRUE(graphics.dirty.Empty());  // the show took the rectangle

  // Hidden sprites, sprites without a name and single-cell pictures never move.
  Sprite& hidden = AnimatedSprite(graphics, 6, 3, 0, AnimationMode::Loop);
  hidden.visible = 0;
  Sprite& unnamed = AnimatedSprite(graphics, 7, 3, 0, AnimationMode::Loop);
  unnamed.name.clear();
  test.platform.Idle(10, WaitKind::Timed);
  AnimationTick(test.engine);
  EXPECT_EQ(hidden.layer.cell, 0);
  EXPECT_EQ(unnamed.layer.cell, 0);
}

TEST(AnimationTick, PendingInputStopsThePass) {
  TestEngine test;
  GraphicsState& graphics = test.engine.graphics;
  PictureLayer& first = AnimatedSprite(graphics, 0, 2, 10, AnimationMode::Loop).layer;
  PictureLayer& second = AnimatedSprite(graphics, 1, 2, 10, AnimationMode::Loop).layer;
  graphics.standing[kStandingCentre].name = "x";
  test.platform.Idle(20, WaitKind::Timed);
  test.engine.messages.Post(Message{MessageKind::Timer});
  AnimationTick(test.engine);  // a timer message is not input
  EXPECT_EQ(first.cell, 1);
  EXPECT_EQ(second.cell, 1);
  test.platform.Idle(20, WaitKind::Timed);
  test.engine.messages.Post(Message{MessageKind::LeftButtonDown});
  AnimationTick(test.engine);
  EXPECT_EQ(first.cell, 1);
  EXPECT_EQ(second.cell, 1);
  test.engine.messages.Clear();
  AnimationTick(test.engine);
  EXPECT_EQ(first.cell, 0);
  EXPECT_EQ(second.cell, 0);
}

}  // namespace
}  // namespace velmio
