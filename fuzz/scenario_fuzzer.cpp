// Feeds arbitrary bytes as a scenario to the label indexer and the interpreter.
#include "play_scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmio::PlayFuzzedScenario(data, size);
  return 0;
}
