// The dispatcher: every subsystem's command table, indexed once by name. A handler takes the
// context of its own subsystem, which the engine object is derived from.
#include <cassert>
#include <string>
#include <unordered_map>
#include <variant>

#include "base/errors.h"
#include "engine/command_table.h"
#include "engine/interpreter.h"
#include "engine/reset.h"
#include "graphics/graphics_commands.h"
#include "persist/persist_commands.h"
#include "persist/state_record.h"
#include "script/script_commands.h"
#include "shell/shell_commands.h"
#include "sound/sound_commands.h"
#include "text/text_commands.h"
#include "ui/ui_commands.h"

namespace velmio {
namespace {

struct IndexedCommand {
  CommandGroup group;
  std::variant<void (*)(ScriptContext&), void (*)(GraphicsContext&), void (*)(TextContext&), void (*)(SoundContext&),
               void (*)(ShellContext&), void (*)(PersistContext&), void (*)(UiContext&)>
      handler;
};

using CommandIndex = std::unordered_map<std::string_view, IndexedCommand>;

template <typename Context>
void AddTable(CommandIndex& index, std::span<const CommandEntry<Context>> table) {
  for (const CommandEntry<Context>& entry : table) {
    bool added = index.emplace(entry.name, IndexedCommand{entry.group, entry.handler}).second;
    (void)added;
    // A name in two tables would make one of them unreachable.
    assert(added);
  }
}

const CommandIndex& Index() {
  static const CommandIndex index = [] {
    CommandIndex built;
    AddTable(built, VariableCommands());
    AddTable(built, FlowCommands());
    AddTable(built, ShellCommands());
    AddTable(built, EffectCommands());
    AddTable(built, TextCommands());
    AddTable(built, PictureCommands());
    AddTable(built, UiCommands());
    AddTable(built, SoundCommands());
    AddTable(built, PersistCommands());
    return built;
  }();
  return index;
}

}  // namespace

bool IsKnownCommand(std::string_view name) { return Index().count(name) != 0; }

std::optional<CommandGroup> CommandGroupOf(std::string_view name) {
  auto it = Index().find(name);
  if (it == Index().end()) return std::nullopt;
  return it->second.group;
}

std::vector<std::string_view> CommandNames() {
  std::vector<std::string_view> names;
  for (const auto& [name, command] : Index()) names.push_back(name);
  return names;
}

void ExecuteCommand(Interpreter& engine, const std::string& name, SavePoint savePoint) {
  Script& script = engine.script;
  if (script.resetRequest) {
    ResetToStart(engine);
    return;
  }
  const CommandIndex& index = Index();
  auto it = index.find(name);
  if (it != index.end()) {
    const IndexedCommand& command = it->second;
    bool allowed = command.group == CommandGroup::BothPhases ||
                   (command.group == CommandGroup::DefinitionOnly) == (script.phase == Phase::Definition);
    if (allowed) {
      // A command of the script layer only computes and jumps: it puts nothing on the page and
      // cannot reach a save, so a snapshot taken before it would be overwritten unread by the
      // one before the next statement that can. Skipping it keeps loops of arithmetic on an
      // empty page as fast as on a full one, and what a save holds stays the same.
      const bool scriptOnly = std::holds_alternative<void (*)(ScriptContext&)>(command.handler);
      if (savePoint == SavePoint::RetakeFirst && !scriptOnly) {
        const int32_t operands = script.position;
        script.position = script.statementStart;
        TakeSnapshot(engine);
        script.position = operands;
      }
      std::visit([&engine](auto handler) { handler(engine); }, command.handler);
      return;
    }
  }
  RaiseError("構文エラー", "不正な命令\"%s\"です。", name);
}

}  // namespace velmio
