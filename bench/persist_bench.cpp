// Speed of saving: retaking the snapshot at a page start with every variable in use and a full
// History (target under 20 µs), and writing a save and loading it back up to the first shown
// screen (each under 5 ms). Build in Release without sanitizers:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMIO_BENCH=ON -DVELMIO_TESTS=OFF
//   build/bench/bench/persist_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/event_log.h"
#include "engine/interpreter.h"
#include "persist/save_files.h"
#include "persist/state_record.h"
#include "platform/headless/headless_platform.h"

namespace velmio {
namespace {

struct FullEngine {
  FullEngine() : platform({}, 600000), engine(platform, log) {
    engine.script.SetText("*define\ngame\n*start\nwait 1\n");
    engine.script.BuildLabelTable();
    for (int v = 0; v < kVariableCount; ++v) {
      engine.script.variables.SetNumber(v, v * 7919);
      engine.script.variables.SetString(v, "\x82\xA0\x82\xA2\x82\xA4 variable " + std::to_string(v));
    }
    History& history = engine.text.history;
    while (history.Position() < History::kCapacity - 4) history.AppendCharacter(0x82, 0xA0);
    for (int i = 0; i < kSpriteCount; ++i) engine.graphics.SetSprite(i, "sprite" + std::to_string(i) + ".bmp", 0, 0, 0);
    engine.graphics.SetBackgroundName("#336699");
  }
  HeadlessPlatform platform;
  EventLog log;
  Interpreter engine;
};

void BM_SnapshotAtPageStart(benchmark::State& state) {
  auto full = std::make_unique<FullEngine>();
  for (auto _ : state) {
    TakeSnapshot(full->engine);
    benchmark::DoNotOptimize(full->engine.persist.snapshot.Bytes().data());
  }
  state.counters["bytes"] = static_cast<double>(full->engine.persist.snapshot.Bytes().size());
}
BENCHMARK(BM_SnapshotAtPageStart)->Unit(benchmark::kMicrosecond);

// The worst case: every part the snapshot keeps has changed since the last retake (the History
// restored anew, the window picture's name changing length, which moves the pictures and the
// variables behind it), so the whole record is written again.
void BM_SnapshotAfterEverythingChanged(benchmark::State& state) {
  auto full = std::make_unique<FullEngine>();
  Interpreter& engine = full->engine;
  History& history = engine.text.history;
  const std::string text(reinterpret_cast<const char*>(history.Data()), history.Position());
  bool longer = false;
  for (auto _ : state) {
    state.PauseTiming();
    history.Restore(text, static_cast<int32_t>(text.size()), history.PageCount());
    longer = !longer;
    engine.text.windowPictureName = longer ? "window-long.bmp" : "window.bmp";
    state.ResumeTiming();
    TakeSnapshot(engine);
    benchmark::DoNotOptimize(engine.persist.snapshot.Bytes().data());
  }
}
BENCHMARK(BM_SnapshotAfterEverythingChanged)->Unit(benchmark::kMicrosecond);

// The common case: a game just started, empty History, no variables set.
void BM_SnapshotOfAFreshGame(benchmark::State& state) {
  HeadlessPlatform platform({}, 600000);
  EventLog log;
  auto engine = std::make_unique<Interpreter>(platform, log);
  for (auto _ : state) {
    TakeSnapshot(*engine);
    benchmark::DoNotOptimize(engine->persist.snapshot.Bytes().data());
  }
  state.counters["bytes"] = static_cast<double>(engine->persist.snapshot.Bytes().size());
}
BENCHMARK(BM_SnapshotOfAFreshGame);

// In a folder of its own under the temporary folder: the sprite names above name no files, so
// the saved state keeps only the background colour and the variables for the load.
struct SaveFolder {
  SaveFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmio-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
  }
  ~SaveFolder() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(path);
  }
  std::filesystem::path path;
  std::filesystem::path previous;
};

void BM_SaveToSlot(benchmark::State& state) {
  SaveFolder folder;
  auto full = std::make_unique<FullEngine>();
  TakeSnapshot(full->engine);
  for (auto _ : state) SaveToSlot(full->engine, 1);
}
BENCHMARK(BM_SaveToSlot)->Unit(benchmark::kMillisecond);

void BM_LoadFromSlot(benchmark::State& state) {
  SaveFolder folder;
  auto full = std::make_unique<FullEngine>();
  for (int number = 0; number < kSpriteCount; ++number) full->engine.graphics.ClearSpriteName(number);
  TakeSnapshot(full->engine);
  SaveToSlot(full->engine, 1);
  for (auto _ : state) LoadFromSlot(full->engine, 1);
}
BENCHMARK(BM_LoadFromSlot)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmio
