// Click and timed waits: the animated cursor, keys, autoclick and the right-click hook.
#include "graphics_test_support.h"
#include "shell/window_procedure.h"
#include "test_engine.h"
#include "text/waits.h"

namespace velmio::testing {
namespace {

// Notes the colour at the cursor position whenever the window shows something there.
class WatchingPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void Present(const uint8_t* pixels, int stride, const ScreenArea& area) override {
    if (area.left != 100 || area.top != 50) return;
    const uint8_t* pixel = pixels + static_cast<ptrdiff_t>(kScreenHeight - 1 - 50) * stride + 3 * 100;
    shown.push_back(pixel[2]);
    times.push_back(Milliseconds());
  }
  void Idle(uint32_t timeout, WaitKind kind) override {
    ++idles;
    HeadlessPlatform::Idle(timeout, kind);
  }
  std::vector<int> shown;  // red channel: the cell number times 50
  int idles = 0;
  std::vector<uint32_t> times;
};

// A cursor of three 4 x 4 cells whose red channel tells the cell: 50, 100, 150.
void MakeCursor(PictureLayer& layer) {
  layer.Reset();
  ASSERT_TRUE(layer.MakeBlank(12, 4, 24));
  for (int cell = 0; cell < 3; ++cell) layer.Fill(4 * cell, 0, 4 * cell + 4, 4, static_cast<uint32_t>(50 * (cell + 1)) << 16);
  layer.cells = 3;
  layer.interval = 160;
  layer.animationMode = AnimationMode::BackAndForth;
}

// Counts the right-click menus a test's engine opens (the hook is a plain function).
int menus = 0;
void CountMenus(Interpreter& engine) {
  menus = 0;
  engine.text.rightClickMenu = [](TextContext&) { ++menus; };
}

TEST(ClickWait, CursorGoesBackAndForthAndTheScreenComesBack) {
  EngineOn<WatchingPlatform> test(Events("after 900 click\n"));
  const WatchingPlatform& platform = test.platform;
  Interpreter& engine = test.engine;
  MakeCursor(engine.text.cursors[0].layer);
  FillSurface(engine.graphics.display, 0, 0, kScreenWidth, kScreenHeight, 0x102030);
  engine.text.cursorKind = CursorKind::Normal;
  engine.text.cursorX = 100;
  engine.text.cursorY = 50;
  ClickWait(engine);
  // The first cell waits its interval from the load (a step needs more than the interval), the
  // next ones follow every 160 ms from when each fell due.
  EXPECT_EQ(platform.shown, (std::vector<int>{100, 150, 100, 50, 100, 0x10}));
  EXPECT_EQ(platform.times, (std::vector<uint32_t>{161, 321, 481, 641, 801, 900}));
  EXPECT_LE(platform.idles, 15) << "the wait sleeps until a cell is due, at most 100 ms at a time";
  EXPECT_EQ(engine.text.cursorKind, CursorKind::None);
  EXPECT_EQ(Hex(engine.graphics.display, 101, 51), 0x102030u);
}

TEST(Waits, CellsLastTheirIntervalInEveryWait) {
  EngineOn<WatchingPlatform> test(Events("after 1000 click\n"));
  Interpreter& engine = test.engine;
  StartWindowTimer(engine);  // its ticks wake the waits too, and must not shift the cells
  Sprite& sprite = engine.graphics.sprites[0];
  engine.graphics.SetSprite(0, "cursor.bmp", 100, 50, 1);
  MakeCursor(sprite.layer);
  sprite.layer.mode = TransparencyMode::Copy;
  sprite.layer.interval = 100;
  sprite.layer.animationMode = AnimationMode::Loop;
  ClickWait(engine);
  TimedWait(engine, 450, Clickable::No);
  std::vector<uint32_t> expected;
  for (uint32_t due = 101; due < 1450; due += 100) expected.push_back(due);
  EXPECT_EQ(test.platform.times, expected);
}

TEST(Waits, SpaceEndsAClickWaitButNotATimedWait) {
  TestEngine test(Events("after 100 key space\nkey enter\n"));
  Interpreter& engine = test.engine;
  TimedWait(engine, 500, Clickable::Yes);
  EXPECT_GE(engine.platform.Milliseconds(), 500u);
  const uint32_t before = engine.platform.Milliseconds();
  ClickWait(engine);  // the Enter key is delivered at this wait and ends it
  EXPECT_LT(engine.platform.Milliseconds() - before, 50u);
}

TEST(Waits, RightClickOpensTheMenuUnlessTheWaitKeepsItClosedOrAutoclickEndsIt) {
  TestEngine test(Events("rclick\nclick\nrclick\nclick\n"));
  Interpreter& engine = test.engine;
  CountMenus(engine);
  ClickWait(engine);
  EXPECT_EQ(menus, 1);
  ClickWait(engine, RightClick::Ignore);
  EXPECT_EQ(menus, 1);

  // A menu that loads a game ends the wait at once; the caller abandons its work.
  TestEngine loading(Events("rclick\n"));
  loading.engine.text.rightClickMenu = [](TextContext& engine) { engine.script.loadRequest = true; };
  loading.engine.text.cursorKind = CursorKind::Page;
  ClickWait(loading.engine);
  EXPECT_TRUE(loading.engine.script.loadRequest);
  EXPECT_EQ(loading.engine.text.cursorKind, CursorKind::Page);

  // Autoclick ends every wait after its delay, whatever the player does meanwhile.
  TestEngine autoclicking(Events("after 50 click\nafter 60 rclick\n"));
  CountMenus(autoclicking.engine);
  autoclicking.engine.text.autoClick = true;
  autoclicking.engine.text.autoClickDelay = 300;
  ClickWait(autoclicking.engine);
  EXPECT_EQ(autoclicking.platform.Milliseconds(), 300u);
  EXPECT_EQ(menus, 0);
}

}  // namespace
}  // namespace velmio::testing
