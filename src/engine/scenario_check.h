#pragma once
// `velmio --check`: reads the scenario of the current folder as the engine would and lists, for
// the author, what would stop the game or misbehave, without playing it, opening a window or
// writing a file.
#include <string>
#include <string_view>
#include <vector>

namespace velmio {

struct ScenarioCheck {
  // UTF-8 lines: one per problem ("0.txt:5: ..."), in scenario order, then a summary line.
  std::vector<std::string> report;
  int problems = 0;
  bool Clean() const { return problems == 0; }
};

// Loads the scenario, indexes its labels and walks every statement: from `define` in the
// definition phase and from `start` in the run phase, following jumps, then whatever neither
// reached. Reports unknown commands, commands of the other phase, malformed operands, jumps to
// labels that do not exist, picture and sound files named literally that are neither in the
// folder nor in an archive, and scenario files written in UTF-8.
ScenarioCheck CheckScenario();

// True when the checker knows the operands of the command `name`.
bool HasOperandSignature(std::string_view name);

}  // namespace velmio
