#include "persist/persist_commands.h"

#include <algorithm>
#include <string>

#include "base/warning.h"

namespace velmio {
namespace {

void SaveNumber(PersistContext& engine) {
  int32_t count = engine.script.ReadNumber();
  // The pages can label slots 1 to 20 only.
  int32_t kept = std::clamp(count, 1, kMaxSaveSlots);
  if (kept != count) Warn("savenumber " + std::to_string(count) + ": " + std::to_string(kept) + " slots are offered");
  engine.persist.slotCount = kept;
}

void SaveName(PersistContext& engine) {
  Script& script = engine.script;
  PersistState& persist = engine.persist;
  persist.saveTitle = script.ReadString();
  script.ExpectComma();
  persist.loadTitle = script.ReadString();
  script.ExpectComma();
  persist.slotName = script.ReadString();
}

void GlobalOn(PersistContext& engine) { engine.persist.globalsOn = true; }

void FileLog(PersistContext& engine) { engine.pictureLog.enabled = true; }

constexpr PersistCommand kPersistCommands[] = {
    {"savenumber", CommandGroup::DefinitionOnly, SaveNumber},
    {"savename", CommandGroup::DefinitionOnly, SaveName},
    {"globalon", CommandGroup::DefinitionOnly, GlobalOn},
    {"filelog", CommandGroup::DefinitionOnly, FileLog},
};

}  // namespace

std::span<const PersistCommand> PersistCommands() { return kPersistCommands; }

}  // namespace velmio
