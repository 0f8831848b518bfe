#include <cassert>
#include <string>
#include <unordered_map>

#include "script/command_table.h"
#include "script/reset.h"
#include "shell/errors.h"
#include "shell/interpreter.h"

namespace velmio {
namespace {

using CommandIndex = std::unordered_map<std::string_view, const CommandEntry*>;

const CommandIndex& Index() {
  static const CommandIndex index = [] {
    CommandIndex built;
    for (auto table : {VariableCommands(), FlowCommands(), ShellCommands(), EffectCommands(), TextCommands(), PictureCommands()}) {
      for (const CommandEntry& entry : table) {
        bool added = built.emplace(entry.name, &entry).second;
        (void)added;
        // A name in two tables would make one of them unreachable.
        assert(added);
      }
    }
    return built;
  }();
  return index;
}

}  // namespace

bool IsKnownCommand(std::string_view name) { return Index().count(name) != 0; }

void ExecuteCommand(Interpreter& engine, const std::string& name) {
  Script& script = engine.script;
  if (script.resetRequest) {
    ResetToStart(engine);
    return;
  }
  const CommandIndex& index = Index();
  auto it = index.find(name);
  if (it != index.end()) {
    const CommandEntry& entry = *it->second;
    bool allowed = entry.group == CommandGroup::BothPhases ||
                   (entry.group == CommandGroup::DefinitionOnly) == (script.phase == Phase::Definition);
    if (allowed) {
      entry.handler(engine);
      return;
    }
  }
  RaiseError("構文エラー", "不正な命令\"%s\"です。", name);
}

}  // namespace velmio
