// the final picture of every transition type, frame counts and durations on the
// virtual clock, the effect slots and the commands effect / effectblank / print.

#include <algorithm>
#include <filesystem>
#include <map>

#include "bmp_builder.h"
#include "engine/command_table.h"
#include "game_folder.h"
#include "graphics/compose.h"
#include "graphics/effects.h"
#include "graphics_test_support.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

// Counts what the effects show in the window, and when (virtual milliseconds).
class CountingPlatform : public HeadlessPlatform {
 public:
  CountingPlatform() : HeadlessPlatform({}, 10'000'000) {}
  void Present(const uint8_t* pixels, int stride, const ScreenArea& area) override {
    ++presents;
    lastArea = area;
    if (onPresent) onPresent(presents, pixels, stride);
  }
  std::function<void(int, const uint8_t*, int)> onPresent;
  int presents = 0;
  ScreenArea lastArea;
};

Rgb OldPicture(int x, int y) { return Pattern(x, y, 1); }
Rgb NewPicture(int x, int y) { return Rgb{uint8_t(x * 3 + 1), uint8_t(y + 7), uint8_t(x ^ y)}; }

class Effects : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallErrorReporter(&reporter);
    // A 64 x 32 mask: a horizontal gradient of blue values 0, 4, 8, ... 252.
    BmpBuilder mask(64, 32, 24);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) mask.SetRgb(x, y, static_cast<uint32_t>(x * 4));
    mask.Write("mask.bmp");
    Paint(graphics().display, 640, 480, OldPicture);
    Paint(graphics().background.surface, 640, 480, NewPicture);
  }
  void TearDown() override { InstallErrorReporter(nullptr); }
  GraphicsState& graphics() { return engine.graphics; }

  // ComposeScreen and ShowWithEffect over `rect` as `print` does; returns the virtual ms taken.
  uint32_t Show(int type, int duration, const DirtyRect& rect, const std::string& mask = "mask.bmp") {
    graphics().dirty = rect;
    engine.RecomposeScreen(rect);
    const uint32_t start = platform.Milliseconds();
    ShowWithEffect(engine, type, duration, mask, &rect);
    return platform.Milliseconds() - start;
  }

  std::string Run(const std::string& command, const std::string& operands, Phase phase = Phase::Run) {
    engine.script.SetText(Utf8ToShiftJis(operands));
    engine.script.position = 0;
    engine.script.phase = phase;
    return ErrorOf(reporter, [&] { ExecuteCommand(engine, command); });
  }

  static DirtyRect Whole() { return DirtyRect{0, 0, 639, 479}; }


  CountingPlatform platform;
  EventLog log;
  Interpreter engine{platform, log};
  RecordingReporter reporter;
  GameFolder folder_;
};

::testing::AssertionResult DisplayShows(const Surface& display, const DirtyRect& r,
                                        const std::function<Rgb(int, int)>& outside) {
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool inside = x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
      const Rgb want = inside ? NewPicture(x, y) : outside(x, y);
      if (!(GetPixel(display, x, y) == want))
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << GetPixel(display, x, y)
                                             << ", want " << want;
    }
  }
  return ::testing::AssertionSuccess();
}

// A mosaic of a picture: size x size blocks from the bottom-left corner, each the colour of its
// bottom-left pixel.
Rgb MosaicOf(const std::function<Rgb(int, int)>& picture, int size, int x, int y) {
  const int rowFromBottom = (479 - y) / size * size;
  return picture(x / size * size, 479 - rowFromBottom);
}

TEST_F(Effects, EveryTypeEndsWithTheNewPicture) {
  for (int type = 1; type <= 18; ++type) {
    if (type == 16) continue;
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    Show(type, 320, Whole());
    EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));
    EXPECT_TRUE(graphics().dirty.Empty());
  }
}

TEST_F(Effects, EveryTypeOverAPartOfTheScreen) {
  const DirtyRect part{101, 50, 210, 149};
  for (int type = 1; type <= 18; ++type) {
    if (type == 16 || type == 17) continue;
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    Show(type, 320, part);
    EXPECT_TRUE(DisplayShows(graphics().display, part, OldPicture));
  }
}

TEST_F(Effects, TypeZeroShowsNothingAndKeepsTheDirtyRect) {
  const DirtyRect part{1, 2, 3, 4};
  Show(0, 500, part);
  EXPECT_TRUE(DisplayShows(graphics().display, DirtyRect{-1, -1, -1, -1}, OldPicture));
  EXPECT_EQ(graphics().dirty.right, 3);
  EXPECT_EQ(platform.presents, 0);
}

TEST_F(Effects, MosaicOutKeepsTheCoarsestMosaicAndMosaicInFinishes) {
  Show(16, 200, Whole());
  EXPECT_TRUE(DisplayShows(graphics().display, DirtyRect{-1, -1, -1, -1},
                           [](int x, int y) { return MosaicOf(OldPicture, 160, x, y); }));
  EXPECT_EQ(graphics().dirty.left, 0);  // the whole screen is to be shown again
  EXPECT_EQ(graphics().dirty.right, 640);
  EXPECT_EQ(graphics().dirty.bottom, 480);
  Show(17, 200, graphics().dirty);
  EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));
}

TEST_F(Effects, MosaicInOverAPartLeavesTheFinestMosaicAround) {
  const DirtyRect part{0, 0, 9, 9};
  engine.RecomposeScreen();  // the mosaic samples the whole compose surface
  Show(17, 200, part);
  EXPECT_TRUE(DisplayShows(graphics().display, part, [](int x, int y) { return MosaicOf(NewPicture, 5, x, y); }));
}

struct Timing {
  int type;
  int presents;
  uint32_t milliseconds;
};

TEST_F(Effects, FrameCountsAndDurationsOnTheVirtualClock) {
  // T = 1600 ms; effect blank 30 ms. Drawing takes no virtual time, so every step sleeps its
  // whole slot: the step counts are the documented ones, the time-paced types take one unit per frame.
  const Timing timings[] = {
      {1, 1, 0},
      {2, 17, 16 * 100 + 30},  {3, 17, 16 * 100 + 30},  {4, 17, 16 * 100 + 30},  {5, 17, 16 * 100 + 30},
      {6, 50, 49 * 33 + 30},   {7, 50, 49 * 33 + 30},   {8, 44, 43 * 38 + 30},   {9, 44, 43 * 38 + 30},
      {10, 256, 254 * 6 + 30},  // alpha 1..255: 255 frames, then the final display
      {11, 81, 80 * 20 + 30},  {12, 81, 80 * 20 + 30},  {13, 81, 80 * 20 + 30},  {14, 81, 80 * 20 + 30},
      {15, 255, 254 * 6 + 30},  // threshold 1..254
      {16, 6, 6 * 160 + 30},   {17, 7, 6 * 160 + 30},
      {18, 512, 511 * 3 + 30},  // threshold 1..511
  };
  for (const Timing& timing : timings) {
    SCOPED_TRACE("type " + std::to_string(timing.type));
    platform.presents = 0;
    EXPECT_EQ(Show(timing.type, 1600, Whole()), timing.milliseconds);
    EXPECT_EQ(platform.presents, timing.presents);
  }
}

TEST_F(Effects, SecondFramesOfTheSteppedTypes) {
  // What the window shows after two steps, worked out from the table of steps: the new picture
  // where a step copied it, else the old one (moved along by the scrolls).
  auto stripe = [](int v, std::initializer_list<int> copied) {
    return std::find(copied.begin(), copied.end(), v) != copied.end();
  };
  const std::map<int, std::function<Rgb(int, int)>> expected = {
      {2, [&](int x, int y) { return stripe(x % 16, {0, 1}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {3, [&](int x, int y) { return stripe(x % 16, {14, 15}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {4, [&](int x, int y) { return stripe(y % 16, {0, 1}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {5, [&](int x, int y) { return stripe(y % 16, {14, 15}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {6, [&](int x, int y) { return stripe(x, {0, 1, 24}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {7, [&](int x, int y) { return stripe(x, {616, 639}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {8, [&](int x, int y) { return stripe(y, {0, 1, 24}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {9, [&](int x, int y) { return stripe(y, {456, 479}) ? NewPicture(x, y) : OldPicture(x, y); }},
      {11, [](int x, int y) { return x < 16 ? NewPicture(x + 624, y) : OldPicture(x - 16, y); }},
      {12, [](int x, int y) { return x >= 624 ? NewPicture(x - 624, y) : OldPicture(x + 16, y); }},
      {13, [](int x, int y) { return y < 12 ? NewPicture(x, y + 468) : OldPicture(x, y - 12); }},
      {14, [](int x, int y) { return y >= 468 ? NewPicture(x, y - 468) : OldPicture(x, y + 12); }},
      // The mosaics' block sizes run 5, 10, ... out and 160, 80, ... in.
      {16, [](int x, int y) { return MosaicOf(OldPicture, 10, x, y); }},
      {17, [](int x, int y) { return MosaicOf(NewPicture, 80, x, y); }},
  };
  for (const auto& [type, want] : expected) {
    SCOPED_TRACE("type " + std::to_string(type));
    Paint(graphics().display, 640, 480, OldPicture);
    std::string mismatch;
    platform.onPresent = [&](int present, const uint8_t* pixels, int stride) {
      if (present != 2) return;
      for (int y = 0; y < 480 && mismatch.empty(); ++y) {
        for (int x = 0; x < 640 && mismatch.empty(); ++x) {
          const uint8_t* p = pixels + static_cast<ptrdiff_t>(479 - y) * stride + 3 * x;
          if (!(Rgb{p[2], p[1], p[0]} == want(x, y))) mismatch = std::to_string(x) + "," + std::to_string(y);
        }
      }
    };
    platform.presents = 0;
    Show(type, 1600, Whole());
    EXPECT_EQ(mismatch, "");
  }
}

TEST_F(Effects, StripesOverATinyRectangleTakeSixteenSteps) {
  platform.presents = 0;
  EXPECT_EQ(Show(2, 160, DirtyRect{10, 10, 19, 19}), 16u * 10 + 30);
  EXPECT_EQ(platform.presents, 17);
  EXPECT_EQ(platform.lastArea.left, 10);
  EXPECT_EQ(platform.lastArea.width, 10);
  EXPECT_EQ(platform.lastArea.height, 10);
}

TEST_F(Effects, EffectBlankZeroDoesNotPause) {
  graphics().effectBlank = 0;
  EXPECT_EQ(Show(2, 160, Whole()), 160u);
  EXPECT_EQ(Show(1, 160, Whole()), 0u);
}

// The window's picture at present number `index`, pixel (x, y).
Rgb PresentedPixel(const uint8_t* pixels, int stride, int x, int y) {
  const uint8_t* p = pixels + static_cast<size_t>(479 - y) * stride + 3 * x;
  return Rgb{p[2], p[1], p[0]};
}

TEST_F(Effects, MaskWipeSwitchesDarkMaskPartsFirst) {
  // The mask tiles every 64 columns with blue = 4 * (x mod 64). With T = 256 each frame lasts
  // 1 ms and the threshold grows by one: frame 100 shows the new picture where the mask <= 100.
  int checked = 0;
  platform.onPresent = [&](int index, const uint8_t* pixels, int stride) {
    if (index != 100) return;
    for (int x = 0; x < 640; ++x) {
      const bool switched = 4 * (x % 64) <= 100;
      ASSERT_EQ(PresentedPixel(pixels, stride, x, 7), switched ? NewPicture(x, 7) : OldPicture(x, 7)) << x;
      ++checked;
    }
  };
  Show(15, 256, Whole());
  EXPECT_EQ(checked, 640);
  EXPECT_EQ(platform.presents, 255);
}

TEST_F(Effects, MaskFadeBlendsEachPixelOverTwoHundredFiftyFiveUnits) {
  // T = 512: one threshold unit per 1 ms frame; frame 300 has t = 300, so a pixel with mask m
  // shows old * (255 - d) + new * d with d = 300 - m, or the new picture once d > 254.
  int checked = 0;
  platform.onPresent = [&](int index, const uint8_t* pixels, int stride) {
    if (index != 300) return;
    for (int x = 0; x < 640; ++x) {
      const int d = 300 - 4 * (x % 64);
      const Rgb o = OldPicture(x, 3), n = NewPicture(x, 3);
      const Rgb want = d > 254 ? n
                               : Rgb{uint8_t(T(255 - d, o.r) + T(d, n.r)), uint8_t(T(255 - d, o.g) + T(d, n.g)),
                                     uint8_t(T(255 - d, o.b) + T(d, n.b))};
      ASSERT_EQ(PresentedPixel(pixels, stride, x, 3), want) << x;
      ++checked;
    }
  };
  Show(18, 512, Whole());
  EXPECT_EQ(checked, 640);
}

TEST_F(Effects, CrossfadeRefreshesAlternateBytes) {
  // T = 256: alpha grows by one per frame. Frame 1 (alpha 1) refreshes the odd bytes only;
  // frame 2 (alpha 2) the even ones.
  std::vector<uint8_t> frame1;
  platform.onPresent = [&](int index, const uint8_t* pixels, int stride) {
    const size_t size = static_cast<size_t>(stride) * 480;
    if (index == 1) frame1.assign(pixels, pixels + size);
    if (index != 2) return;
    const uint8_t* old = engine.graphics.display.pixels;  // not yet changed: the old picture
    const uint8_t* fresh = engine.graphics.compose.pixels;
    for (size_t k = 0; k < size; k += 997) {
      const uint8_t want1 = k % 2 ? uint8_t(T(254, old[k]) + T(1, fresh[k])) : old[k];
      ASSERT_EQ(frame1[k], want1) << k;
      const uint8_t want2 = k % 2 ? want1 : uint8_t(T(253, old[k]) + T(2, fresh[k]));
      ASSERT_EQ(pixels[k], want2) << k;
    }
  };
  Show(10, 256, Whole());
  EXPECT_EQ(frame1.size(), 921600u);
}

TEST_F(Effects, ShowWithEffectErrors) {
  EXPECT_EQ(ErrorOf(reporter, [&] { Show(-1, 100, Whole()); }), "エラー: 未定義のエフェクトを使いました");
  EXPECT_EQ(ErrorOf(reporter, [&] { Show(19, 100, Whole()); }),
            "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。");
  EXPECT_EQ(ErrorOf(reporter, [&] { Show(-2, 100, Whole()); }),
            "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。");
}

TEST_F(Effects, EffectCommandDefinesSlots) {
  EXPECT_EQ(Run("effect", "1, 10, 1000", Phase::Definition), "パラメータエラー: effect命令の第一パラメータは2～49です。");
  EXPECT_EQ(Run("effect", "50, 10, 1000", Phase::Definition), "パラメータエラー: effect命令の第一パラメータは2～49です。");
  EXPECT_EQ(Run("effect", "5, 1", Phase::Definition), "");
  EXPECT_EQ(graphics().effectSlots[5].type, 1);
  EXPECT_EQ(Run("effect", "6, 15, 800, \"mask.bmp\"", Phase::Definition), "");
  EXPECT_EQ(graphics().effectSlots[6].type, 15);
  EXPECT_EQ(graphics().effectSlots[6].duration, 800);
  EXPECT_EQ(graphics().effectSlots[6].mask, "mask.bmp");
  EXPECT_EQ(Run("effect", "6, 15, 800", Phase::Definition), "構文エラー: コンマが必要なところにコンマが有りません。");
  EXPECT_EQ(Run("effect", "7, 10, 500", Phase::Definition), "");
  EXPECT_EQ(graphics().effectSlots[7].type, 10);
  EXPECT_EQ(graphics().effectSlots[7].duration, 500);
  EXPECT_EQ(Run("effect", "8, 99, 500", Phase::Definition), "");  // checked only when shown
  EXPECT_EQ(Run("effectblank", "0", Phase::Definition), "");
  EXPECT_EQ(graphics().effectBlank, 0);
  EXPECT_EQ(Run("effect", "9, 10, 500", Phase::Run), "構文エラー: 不正な命令\"effect\"です。");
}

TEST_F(Effects, PrintSlotsAndDirectTypes) {
  EXPECT_EQ(Run("print", "5"), "エラー: 未定義のエフェクトを使いました");
  EXPECT_EQ(Run("print", "30, 500"), "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。");
  EXPECT_EQ(Run("print", "60"), "エラー: 未定義のエフェクトを使いました");

  // print 0 shows nothing and keeps accumulating; print 1 then shows it.
  engine.graphics.dirty.Add(0, 0, 639, 479);
  EXPECT_EQ(Run("print", "0"), "");
  EXPECT_TRUE(DisplayShows(graphics().display, DirtyRect{-1, -1, -1, -1}, OldPicture));
  EXPECT_EQ(graphics().dirty.right, 639);
  EXPECT_EQ(Run("print", "1"), "");
  EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));
  EXPECT_TRUE(graphics().dirty.Empty());

  // The direct form, with a mask.
  Paint(graphics().display, 640, 480, OldPicture);
  engine.graphics.dirty.SetWholeScreen();
  const uint32_t start = platform.Milliseconds();
  EXPECT_EQ(Run("print", "15, 512, \"mask.bmp\""), "");
  EXPECT_EQ(platform.Milliseconds() - start, 254u * 2 + 30);
  EXPECT_TRUE(DisplayShows(graphics().display, Whole(), OldPicture));

  // A slot defined with a type above 18 fails when shown.
  Run("effect", "8, 99, 500", Phase::Definition);
  EXPECT_EQ(Run("print", "8"), "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。");
  EXPECT_EQ(Run("print", "15, 512, \"nothing.bmp\""), "ロードエラー: ファイルnothing.bmpを開けません。");
}

TEST_F(Effects, SlotsStartUndefinedExceptZeroAndOne) {
  ResetEffectSlots(graphics());
  EXPECT_EQ(graphics().effectSlots[0].type, 0);
  EXPECT_EQ(graphics().effectSlots[1].type, 1);
  for (int i = 2; i < kEffectSlotCount; ++i) {
    EXPECT_EQ(graphics().effectSlots[i].type, -1);
    EXPECT_EQ(graphics().effectSlots[i].duration, 0);
  }
}

}  // namespace
}  // namespace velmio::testing
