// `velmio --check` on a scenario of the largest size (5 MB): story text, pictures, sounds,
// arithmetic, conditions, choices and subroutines over 5000 labels.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/encoding.h"
#include "engine/scenario_check.h"
#include "script/script.h"

namespace velmio {
namespace {

std::string LargestScenario() {
  const std::string story = Sjis("「星が綺麗ですね」と彼女は言った。丘の上の風は少し冷たい。\\\n");
  std::string text = "*define\nnumalias score,10\neffect 2,10,500\ngame\n*start\n";
  int scene = 0;
  for (; text.size() < static_cast<size_t>(kScriptBufferSize) - 8192; ++scene) {
    text += "*scene" + std::to_string(scene) + "\n";
    text += "bg \"bg.bmp\",2\nld c,\":a;chara.bmp\",2\nwave \"chime.wav\"\n";
    for (int line = 0; line < 40; ++line) {
      text += story;
      text += "add %score,1 : if %score>100 mov %score,0\n";
    }
    text += "select \"" + Sjis("進む") + "\",*scene" + std::to_string(scene + 1) + ",\"" + Sjis("戻る") + "\",*start\n";
  }
  text += "*scene" + std::to_string(scene) + "\nend\n";
  return text;
}

void CheckLargestScenario(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmio-check-bench";
  std::filesystem::create_directories(folder);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const std::string scenario = LargestScenario();
  std::ofstream("0.txt", std::ios::binary) << scenario;
  for (const char* name : {"bg.bmp", "chara.bmp", "chime.wav"}) std::ofstream(name) << "x";
  for (auto _ : state) {
    ScenarioCheck check = CheckScenario();
    if (!check.Clean()) state.SkipWithError(check.report.front().c_str());
    benchmark::DoNotOptimize(check.problems);
  }
  state.counters["megabytes"] = static_cast<double>(scenario.size()) / (1 << 20);
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(folder);
}
BENCHMARK(CheckLargestScenario)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmio
