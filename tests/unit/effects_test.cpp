// the final picture of every transition type, frame counts and durations on the
// virtual clock, the effect slots and the commands effect / effectblank / print.

#include <algorithm>

#include "bmp_builder.h"
#include "engine/command_table.h"
#include "game_folder.h"
#include "graphics/compose.h"
#include "graphics/effects.h"
#include "graphics_test_support.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

Rgb OldPicture(int x, int y) { return Pattern(x, y, 1); }
Rgb NewPicture(int x, int y) { return Rgb{uint8_t(x * 3 + 1), uint8_t(y + 7), uint8_t(x ^ y)}; }

class Effects : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 64 x 32 mask: a horizontal gradient of blue values 0, 4, 8, ... 252.
    BmpBuilder mask(64, 32, 24);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) mask.SetRgb(x, y, static_cast<uint32_t>(x * 4));
    mask.Write("mask.bmp");
    Paint(graphics().display, 640, 480, OldPicture);
    Paint(graphics().background.surface, 640, 480, NewPicture);
  }
  GraphicsState& graphics() { return engine.graphics; }

  // ComposeScreen and ShowWithEffect over `rect` as `print` does; returns the virtual ms taken.
  uint32_t Show(int type, int duration, const DirtyRect& rect, const std::string& mask = "mask.bmp") {
    graphics().dirty = rect;
    engine.RecomposeScreen(rect);
    const uint32_t start = platform.Milliseconds();
    ShowWithEffect(engine, type, duration, mask, &rect);
    return platform.Milliseconds() - start;
  }

  std::string Run(const std::string& statement, Phase phase = Phase::Run) { return test.Run(statement, phase); }

  static DirtyRect Whole() { return DirtyRect{0, 0, 639, 479}; }

  GameFolder folder_;
  EngineOn<PresentingPlatform> test;
  PresentingPlatform& platform = test.platform;
  int Presents() const { return static_cast<int>(platform.areas.size()); }
  Interpreter& engine = test.engine;
};

// The first pixel where a 640 x 480 bottom-up picture differs from want(x, y), or "".
std::string FirstMismatch(const uint8_t* pixels, int stride, const std::function<Rgb(int, int)>& want) {
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint8_t* p = pixels + static_cast<ptrdiff_t>(479 - y) * stride + 3 * x;
      if (!(Rgb{p[2], p[1], p[0]} == want(x, y))) return std::to_string(x) + "," + std::to_string(y);
    }
  return "";
}

// Whether the display shows the new picture inside `r` and outside(x, y) around it.
::testing::AssertionResult DisplayShows(const Surface& display, const DirtyRect& r,
                                        const std::function<Rgb(int, int)>& outside) {
  const std::string mismatch = FirstMismatch(display.pixels, display.stride, [&](int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom ? NewPicture(x, y) : outside(x, y);
  });
  if (mismatch.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel " << mismatch << " differs";
}

// A mosaic of a picture: size x size blocks from the bottom-left corner, each the colour of its
// bottom-left pixel.
Rgb MosaicOf(const std::function<Rgb(int, int)>& picture, int size, int x, int y) {
  const int rowFromBottom = (479 - y) / size * size;
  return picture(x / size * size, 479 - rowFromBottom);
}

TEST_F(Effects, EveryTypeEndsWithTheNewPictureOverAPart) {
  const DirtyRect part{101, 50, 210, 149};
  for (int type = 1; type <= 18; ++type) {
    if (type == 16 || type == 17) continue;  // the mosaics have tests of their own
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    Show(type, 320, part);
    EXPECT_TRUE(DisplayShows(graphics().display, part, OldPicture));
    EXPECT_TRUE(graphics().dirty.Empty());
  }
}

TEST_F(Effects, MosaicInOverAPartLeavesTheFinestMosaicAround) {
  // The rest shows the finest mosaic of the whole compose surface.
  engine.RecomposeScreen(Whole());
  const DirtyRect part{0, 0, 9, 9};
  Show(17, 200, part);
  EXPECT_TRUE(DisplayShows(graphics().display, part, [](int x, int y) { return MosaicOf(NewPicture, 5, x, y); }));
}

// Old and new blended channel by channel, the new one weighing weight(channel) (0 blue, 1 green, 2 red).
Rgb Mixed(int x, int y, const std::function<int(int)>& weight) {
  const Rgb o = OldPicture(x, y), n = NewPicture(x, y);
  auto mix = [&](int channel, uint8_t old, uint8_t fresh) {
    return uint8_t(T(255 - weight(channel), old) + T(weight(channel), fresh));
  };
  return Rgb{mix(2, o.r, n.r), mix(1, o.g, n.g), mix(0, o.b, n.b)};
}

TEST_F(Effects, FrameCountsDurationsAndTheLastFrameOverTheScreen) {
  // T = 1600 ms; effect blank 30 ms. Drawing takes no virtual time, so every step sleeps its
  // whole slot: the step counts are the documented ones, the time-paced types take one unit per frame.
  // Type, frames shown, virtual milliseconds.
  const std::array<int, 3> timings[] = {
      {1, 1, 0},
      {2, 17, 16 * 100 + 30},  {3, 17, 16 * 100 + 30},  {4, 17, 16 * 100 + 30},  {5, 17, 16 * 100 + 30},
      {6, 50, 49 * 33 + 30},   {7, 50, 49 * 33 + 30},   {8, 44, 43 * 38 + 30},   {9, 44, 43 * 38 + 30},
      {10, 256, 254 * 6 + 30},  // alpha 1..255: 255 frames, then the final display
      {11, 81, 80 * 20 + 30},  {12, 81, 80 * 20 + 30},  {13, 81, 80 * 20 + 30},  {14, 81, 80 * 20 + 30},
      {15, 255, 254 * 6 + 30},  // threshold 1..254
      {16, 6, 6 * 160 + 30},   {17, 7, 6 * 160 + 30},
      {18, 512, 511 * 3 + 30},  // threshold 1..511
  };
  for (const auto [type, presents, milliseconds] : timings) {
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    platform.areas.clear();
    EXPECT_EQ(Show(type, 1600, Whole()), static_cast<uint32_t>(milliseconds));
    EXPECT_EQ(Presents(), presents);
    if (type != 16) {
      EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));
      continue;
    }
    // Mosaic out ends in the coarsest mosaic of the old picture, the whole screen to be shown again.
    EXPECT_TRUE(DisplayShows(graphics().display, DirtyRect{-1, -1, -1, -1},
                             [](int x, int y) { return MosaicOf(OldPicture, 160, x, y); }));
    EXPECT_EQ(Edges(graphics().dirty), (std::array{0, 0, 640, 480}));
  }
}

TEST_F(Effects, ChosenFramesOfTheSteppedTypesAndTheMasks) {
  // Present 2 (T = 1600) of the stepped types, worked out from the table of steps: the new picture
  // where a step copied it, else the old one (moved along by the scrolls).
  auto stripe = [](int v, std::initializer_list<int> copied) {
    return std::find(copied.begin(), copied.end(), v) != copied.end();
  };
  // The masks: the mask tiles every 64 columns with blue = 4 * (x mod 64), and the threshold grows
  // by one a frame. The wipe (T = 256) shows the new picture where the mask <= the threshold; the
  // fade (T = 512) blends old * (255 - d) + new * d with d = threshold - mask, new once d > 254.
  auto fade = [](int x, int y) {
    const int d = 300 - 4 * (x % 64);
    return d > 254 ? NewPicture(x, y) : d <= 0 ? OldPicture(x, y) : Mixed(x, y, [d](int) { return d; });
  };
  // The crossfade (T = 256, alpha one more a frame) refreshes alternate bytes of the bottom-up
  // display: frame 1 (alpha 1) the odd ones, frame 2 (alpha 2) the even ones.
  auto crossfade = [](int x, int y) { return Mixed(x, y, [x](int channel) { return (3 * x + channel) % 2 ? 1 : 2; }); };
  struct Frame {
    int type, duration, present;
    std::function<Rgb(int, int)> want;
  };
  const Frame frames[] = {
      {2, 1600, 2, [&](int x, int y) { return stripe(x % 16, {0, 1}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {3, 1600, 2, [&](int x, int y) { return stripe(x % 16, {14, 15}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {4, 1600, 2, [&](int x, int y) { return stripe(y % 16, {0, 1}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {5, 1600, 2, [&](int x, int y) { return stripe(y % 16, {14, 15}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {6, 1600, 2, [&](int x, int y) { return stripe(x, {0, 1, 24}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {7, 1600, 2, [&](int x, int y) { return stripe(x, {616, 639}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {8, 1600, 2, [&](int x, int y) { return stripe(y, {0, 1, 24}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {9, 1600, 2, [&](int x, int y) { return stripe(y, {456, 479}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {11, 1600, 2, [](int x, int y) { return x < 16 ? NewPicture(x + 624, y) : OldPicture(x - 16, y); }},
      {12, 1600, 2, [](int x, int y) { return x >= 624 ? NewPicture(x - 624, y) : OldPicture(x + 16, y); }},
      {13, 1600, 2, [](int x, int y) { return y < 12 ? NewPicture(x, y + 468) : OldPicture(x, y - 12); }},
      {14, 1600, 2, [](int x, int y) { return y >= 468 ? NewPicture(x, y - 468) : OldPicture(x, y + 12); }},
      // The mosaics' block sizes run 5, 10, ... out and 160, 80, ... in.
      {16, 1600, 2, [](int x, int y) { return MosaicOf(OldPicture, 10, x, y); }},
      {17, 1600, 2, [](int x, int y) { return MosaicOf(NewPicture, 80, x, y); }},
      {15, 256, 100, [](int x, int y) { return 4 * (x % 64) <= 100 ? NewPicture(x, y) : OldPicture(x, y); }},
      {18, 512, 300, fade},
      {10, 256, 2, crossfade},
  };
  for (const auto& [type, duration, chosen, want] : frames) {
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    std::string mismatch;
    platform.onPresent = [&](int present, const uint8_t* pixels, int stride) {
      if (present == chosen) mismatch = FirstMismatch(pixels, stride, want);
    };
    platform.areas.clear();
    Show(type, duration, Whole());
    EXPECT_GE(Presents(), chosen);
    EXPECT_EQ(mismatch, "");
  }
}

TEST_F(Effects, StripesOverATinyRectangleTakeSixteenStepsAndNoBlankDoesNotPause) {
  platform.areas.clear();
  EXPECT_EQ(Show(2, 160, DirtyRect{10, 10, 19, 19}), 16u * 10 + 30);
  EXPECT_EQ(Presents(), 17);
  const ScreenArea& shown = platform.areas.back();
  EXPECT_EQ(std::tuple(shown.left, shown.width, shown.height), std::tuple(10, 10, 10));
  graphics().effectBlank = 0;
  EXPECT_EQ(Show(2, 160, Whole()), 160u);
}

TEST_F(Effects, EffectCommandDefinesSlots) {
  for (const char* statement : {"effect 1, 10, 1000", "effect 50, 10, 1000"})
    EXPECT_EQ(Run(statement, Phase::Definition), "パラメータエラー: effect命令の第一パラメータは2～49です。");
  // Type 1 takes no time; 15 and 18 take a mask; a type is checked only when shown.
  EXPECT_EQ(Run("effect 2, 1:effect 6, 15, 800, \"mask.bmp\":effect 49, 99, 500:effectblank 0", Phase::Definition), "");
  const auto& slots = graphics().effectSlots;
  EXPECT_EQ(std::tuple(slots[2].type, slots[6].type, slots[6].duration, slots[6].mask, slots[49].duration, graphics().effectBlank),
            std::tuple(1, 15, 800, "mask.bmp", 500, 0));
  EXPECT_EQ(Run("effect 6, 15, 800", Phase::Definition), "構文エラー: コンマが必要なところにコンマが有りません。");
  EXPECT_EQ(Run("effect 9, 10, 500", Phase::Run), "構文エラー: 不正な命令\"effect\"です。");
}

TEST_F(Effects, PrintSlotsAndDirectTypes) {
  const std::string invalid = "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。";
  for (const char* statement : {"print 5", "print 60", "print -1, 100"})
    EXPECT_EQ(Run(statement), "エラー: 未定義のエフェクトを使いました");
  for (const char* statement : {"print 19, 100", "print -2, 100"}) EXPECT_EQ(Run(statement), invalid);

  // print 0 (a slot or the type) shows nothing and keeps accumulating; print 1 then shows it.
  engine.graphics.dirty.Add(0, 0, 639, 479);
  EXPECT_EQ(Run("print 0"), "");
  EXPECT_EQ(Run("print 0, 500"), "");
  EXPECT_EQ(Presents(), 0);
  EXPECT_TRUE(DisplayShows(graphics().display, DirtyRect{-1, -1, -1, -1}, OldPicture));
  EXPECT_EQ(graphics().dirty.right, 639);
  EXPECT_EQ(Run("print 1"), "");
  EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));
  EXPECT_TRUE(graphics().dirty.Empty());

  // The direct form takes its time (what it shows is scenario.transitions'); a slot defined with a
  // type above 18 fails when shown, and a missing mask is named.
  engine.graphics.dirty.SetWholeScreen();
  const uint32_t start = platform.Milliseconds();
  EXPECT_EQ(Run("print 15, 512, \"mask.bmp\""), "");
  EXPECT_EQ(platform.Milliseconds() - start, 254u * 2 + 30);
  Run("effect 8, 99, 500", Phase::Definition);
  EXPECT_EQ(Run("print 8"), invalid);
  EXPECT_EQ(Run("print 15, 512, \"nothing.bmp\""), "ロードエラー: ファイルnothing.bmpを開けません。");
}

}  // namespace
}  // namespace velmio::testing
