#include "persist/persist_state.h"

#include "base/encoding.h"

namespace velmio {
namespace {

// The state record of a full History (90,000 bytes) plus 60 sprite names and 200 string
// variables of ordinary length fits without growing, so retaking it never allocates.
constexpr size_t kSnapshotCapacity = size_t{256} << 10;

}  // namespace

Snapshot::Snapshot() { bytes_.reserve(kSnapshotCapacity); }

PersistState::PersistState() { ResetSettings(); }

void PersistState::ResetSettings() {
  slotCount = kDefaultSaveSlots;
  saveTitle = Sjis("＜セーブ＞");
  loadTitle = Sjis("＜ロード＞");
  slotName = Sjis("しおり");
  globalsOn = false;
}

}  // namespace velmio
