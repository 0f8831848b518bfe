// Interpreter speed: a tight run-phase loop, jumps into a large label table, and loading a
// scenario of the largest size with many labels.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/errors.h"
#include "engine/command_table.h"
#include "engine/interpreter.h"
#include "engine/run_scenario.h"
#include "platform/headless/headless_platform.h"
#include "script/scenario_loader.h"

namespace velmio {
namespace {

struct BenchEngine {
  BenchEngine() : platform({}, 0xFFFFFFFFu), engine(platform, log) {}
  HeadlessPlatform platform;
  EventLog log;
  Interpreter engine;
};

enum class Page : int64_t { HoldsText, Empty };

// The run loop with `turns` turns of `body` after "*loop"; the page either holds text (no save
// point is kept) or is empty, so that every statement is a possible save point.
void RunLoop(benchmark::State& state, const std::string& body, int turns) {
  const std::string scenario =
      "*define\ngame\n*start\nmov %0,0\n*loop\n" + body + "if %0<" + std::to_string(turns) + " goto *loop\nend\n";
  const Page page = static_cast<Page>(state.range(0));
  for (auto _ : state) {
    BenchEngine bench;
    bench.engine.script.SetText(scenario);
    bench.engine.script.BuildLabelTable();
    bench.engine.script.JumpToLabel("start");
    if (page == Page::HoldsText) bench.engine.text.column = 1;
    try {
      RunScenario(bench.engine, Phase::Run);
    } catch (const ProgramEnd&) {
    }
    benchmark::DoNotOptimize(bench.engine.script.Number(0));
  }
}

// inc, if and goto: three statements per turn.
void RunPhaseLoop(benchmark::State& state) {
  constexpr int kTurns = 1000000;
  RunLoop(state, "inc %0\n", kTurns);
  state.SetItemsProcessed(state.iterations() * int64_t{kTurns} * 3);
  state.counters["statements_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kTurns * 3, benchmark::Counter::kIsRate);
}
BENCHMARK(RunPhaseLoop)->Arg(static_cast<int64_t>(Page::HoldsText))->Arg(static_cast<int64_t>(Page::Empty))->Unit(benchmark::kMillisecond);

// Six statements a turn, and a command of the menus (rmode) every 17th turn, so about once in
// 100 statements: on an empty page the save point is retaken before it.
void RunPhaseLoopWithMenuCommand(benchmark::State& state) {
  constexpr int kTurns = 1000000;
  RunLoop(state, "inc %0\nmov %1,%0\nmod %1,17\nif %1=0 rmode 1\n", kTurns);
  state.counters["statements_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kTurns * 6, benchmark::Counter::kIsRate);
}
BENCHMARK(RunPhaseLoopWithMenuCommand)->Arg(static_cast<int64_t>(Page::HoldsText))->Arg(static_cast<int64_t>(Page::Empty))->Unit(benchmark::kMillisecond);

std::string ManyLabels(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "*scene_label_" + std::to_string(i) + "\nmov %1,1\n";
  return text;
}

void GotoLastOfFiveThousandLabels(benchmark::State& state) {
  BenchEngine bench;
  Script& script = bench.engine.script;
  script.SetText(ManyLabels(5000) + "goto *Scene_Label_4999\n");
  script.BuildLabelTable();
  const int32_t operand = script.Length() - static_cast<int32_t>(std::string("*Scene_Label_4999\n").size());
  const std::string name = "goto";
  for (auto _ : state) {
    script.position = operand;
    ExecuteCommand(bench.engine, name);
    benchmark::DoNotOptimize(script.position);
  }
  state.counters["jumps_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(GotoLastOfFiveThousandLabels);

void LoadLargestScenario(benchmark::State& state) {
  auto folder = std::filesystem::temp_directory_path() / ("velmio-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::string text = ManyLabels(5000);
  const std::string filler = "これは長いシナリオの一行です。mov %1,%2 : add $3,\"x\"\r\n";
  while (text.size() + filler.size() < 5 * 1000 * 1000) text += filler;
  std::ofstream(folder / "0.txt", std::ios::binary) << text;
  auto original = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  BenchEngine bench;
  for (auto _ : state) {
    LoadScenario(bench.engine.script);
    bench.engine.script.BuildLabelTable();
    benchmark::DoNotOptimize(bench.engine.script.Labels().size());
  }
  std::filesystem::current_path(original);
  std::filesystem::remove_all(folder);
}
BENCHMARK(LoadLargestScenario)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmio
