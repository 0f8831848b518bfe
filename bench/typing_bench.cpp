// Typing speed: story text typed with no delay on the headless backend, glyph rasterising,
// filtering and blending included, and the cost of bringing the text window back over a changed
// screen.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/encoding.h"
#include "engine/interpreter.h"
#include "graphics/blend_table.h"
#include "graphics/compose.h"
#include "platform/headless/headless_platform.h"
#include "text/display_text.h"
#include "text/text_window.h"

namespace velmio {
namespace {

// A story passage; sentences are typed one per line, so the kinsoku rules get real work.
constexpr const char* kPassage[] = {
    "吾輩は猫である。名前はまだ無い。",
    "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
    "吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。",
    "この書生というのは時々我々を捕えて煮て食うという話である。",
    "しかしその当時は何という考もなかったから別段恐しいとも思わなかった。",
    "ただ彼の掌に載せられてスーと持ち上げられた時何だかフワフワした感じがあったばかりである。",
    "掌の上で少し落ちついて書生の顔を見たのがいわゆる人間というものの見始であろう。",
    "「この時妙なものだと思った感じが今でも残っている。」",
    "第一毛をもって装飾されべきはずの顔がつるつるしてまるで薬缶だ。",
    "その後猫にもだいぶ逢ったがこんな片輪には一度も出会わした事がない。",
};

struct BenchEngine {
  BenchEngine() : platform({}, 0xFFFFFFFFu), engine(platform, log) {
    engine.text.defaultFontFace = Sjis("ＭＳ ゴシック");
    engine.text.fontFace = engine.text.defaultFontFace;
    engine.text.charWait = 0;
    engine.text.autoClick = true;  // page waits pass at once
    engine.text.autoClickDelay = 0;
  }
  HeadlessPlatform platform;
  EventLog log;
  Interpreter engine;
};

// Sentences split into lines of at most 40 characters (at most two window lines each).
std::vector<std::string> Lines() {
  std::vector<std::string> lines;
  for (const char* sentence : kPassage) {
    std::string sjis = Sjis(sentence);
    for (size_t at = 0; at < sjis.size(); at += 80) lines.push_back(sjis.substr(at, 80));
  }
  return lines;
}

void TypeTenThousandCharacters(benchmark::State& state) {
  constexpr int kCharacters = 10000;
  const std::vector<std::string> lines = Lines();
  const std::string pageWait = "\\";
  BenchEngine bench;
  Interpreter& engine = bench.engine;
  int64_t total = 0;
  for (auto _ : state) {
    int typed = 0;
    for (size_t next = 0; typed < kCharacters; next = (next + 1) % lines.size()) {
      if (engine.text.line >= 13) DisplayText(engine, pageWait);
      DisplayText(engine, lines[next]);
      typed += static_cast<int>(lines[next].size() / 2);
    }
    DisplayText(engine, pageWait);
    total += typed;
  }
  state.counters["characters/s"] = benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
}
BENCHMARK(TypeTenThousandCharacters)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window is hidden, the screen changes, the window comes back with its text.
void ShowWindowOverChangedScreen(benchmark::State& state) {
  BenchEngine bench;
  Interpreter& engine = bench.engine;
  DisplayText(engine, Sjis("吾輩は猫である。名前はまだ無い。"));
  uint8_t shade = 0;
  for (auto _ : state) {
    EraseTextWindowForced(engine);
    engine.graphics.background.Fill(0, 0, kScreenWidth, kScreenHeight, 0x010101u * (shade++));
    ShowTextWindow(engine);
  }
}
BENCHMARK(ShowWindowOverChangedScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmio
