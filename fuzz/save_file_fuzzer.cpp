// Feeds arbitrary bytes to the readers of the files a player keeps: the save file's state record
// (first byte even), "gloval.sav" and "Velmflog.dat" (first byte odd). Then retakes the snapshot
// from what was read, as the next page would.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/errors.h"
#include "engine/interpreter.h"
#include "persist/global_files.h"
#include "persist/state_record.h"
#include "platform/headless/headless_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  if (size == 0) return 0;
  static HeadlessPlatform platform({}, 20);
  static EventLog log;
  static Interpreter engine(platform, log);
  static bool loaded = false;
  if (!loaded) {
    engine.script.SetText("*define\ngame\n*start\nwait 1\n");
    engine.script.BuildLabelTable();
    loaded = true;
  }
  std::span<const uint8_t> bytes(data + 1, size - 1);
  if ((data[0] & 1) == 0) {
    ReadStateRecord(engine, bytes);
    TakeSnapshot(engine);
    // What was patched in place must be what a whole record holds.
    if (engine.persist.snapshot.Bytes() != WholeStateRecord(engine)) __builtin_trap();
  } else {
    DecodeGlobals(bytes, engine.script.variables);
    engine.pictureLog.enabled = true;
    DecodePictureLog(bytes, engine.pictureLog);
  }
  return 0;
}
