// The lookback viewer over ten full pages of history: the time from opening it until the newest
// page and the buttons are on the screen, and the time from a click on the upper zone until the
// page before it is drawn. Each must stay well under 2 ms. Both are the processor time of the
// engine's thread, so that other work on a shared machine does not count.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <string>

#include "base/encoding.h"
#include "engine/interpreter.h"
#include "platform/headless/headless_platform.h"
#include "platform/message_queue.h"
#include "text/display_text.h"
#include "ui/lookback.h"

namespace velmio {
namespace {

// The processor time of the calling thread.
struct Clock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<Clock, duration>;
  static time_point now() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return time_point(duration(int64_t{now.tv_sec} * 1000000000 + now.tv_nsec));
  }
};
constexpr int kTurns = 9;  // from the newest of ten pages to the oldest

// Plays the player: each time the viewer looks for input the work it was given is done, so the
// time since the last input (or since the viewer opened) is what that input cost.
class PageTurner final : public HeadlessPlatform {
 public:
  PageTurner() : HeadlessPlatform({}, UINT32_MAX) {}

  void Start() {
    step_ = 0;
    since_ = Clock::now();
    open_ = turns_ = Clock::duration::zero();
  }
  void CollectEvents(MessageQueue& queue) override {
    const Clock::duration spent = Clock::now() - since_;
    if (step_ == 0) open_ = spent;
    else if (step_ >= 2 && step_ < 2 + kTurns) turns_ += spent;
    // Into the upper zone, then a click per page, then a right click to leave.
    if (step_ == 0) queue.Post(Message{MessageKind::MouseMove, 100, 20});
    else if (step_ < 1 + kTurns) queue.Post(Message{MessageKind::LeftButtonUp, 100, 20});
    else queue.Post(Message{MessageKind::RightButtonUp, 100, 20});
    ++step_;
    since_ = Clock::now();
  }

  Clock::duration open_{}, turns_{};

 private:
  int step_ = 0;
  Clock::time_point since_;
};

struct LookbackEngine {
  LookbackEngine() : engine(platform, log) {
    TextState& text = engine.text;
    text.defaultFontFace = Sjis("ＭＳ ゴシック");
    text.fontFace = text.defaultFontFace;
    text.charWait = 0;
    text.autoClick = true;  // page waits pass at once
    text.autoClickDelay = 0;
    LoadDefaultLookbackButtons(engine);
    // Eleven pages of fifteen lines of 22 characters, so that the history holds ten full ones.
    const std::string line = Sjis("吾輩は猫である。名前はまだ無い。どこで生れ");
    for (int page = 0; page < 11; ++page) {
      while (engine.text.line < engine.text.lineCount - 1) DisplayText(engine, line);
      DisplayText(engine, "\\");
    }
    text.autoClick = false;
  }
  PageTurner platform;
  EventLog log;
  Interpreter engine;
};

void LookbackOpenAndTurn(benchmark::State& state) {
  LookbackEngine bench;
  if (bench.engine.text.history.PageCount() != 10) {
    state.SkipWithError("the history does not hold ten pages");
    return;
  }
  double open = 0, turns = 0;
  for (auto _ : state) {
    bench.platform.Start();
    LookbackViewer(bench.engine);
    const double opened = std::chrono::duration<double>(bench.platform.open_).count();
    open += opened;
    turns += std::chrono::duration<double>(bench.platform.turns_).count() / kTurns;
    state.SetIterationTime(opened);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["open_ms"] = open / runs * 1000;
  state.counters["turn_ms"] = turns / runs * 1000;
}
BENCHMARK(LookbackOpenAndTurn)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmio
