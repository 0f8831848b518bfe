#pragma once
// The state of saving and loading: the save-point snapshot, the slot settings of the save and
// load pages, and whether the global variables are written at exit.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "script/script.h"

namespace velmio {

constexpr int kMaxSaveSlots = 20;  // the page's digit table labels slots 1 to 20
constexpr int kDefaultSaveSlots = 9;

// Where the last snapshot put a part that is kept from one snapshot to the next, and which
// revision of its source it holds. A size of 0: nothing kept.
struct KeptPart {
  uint64_t revision = 0;
  size_t offset = 0;
  size_t size = 0;  // strings included with their NULs
};

// The state record as it was at the start of the current text page: what a save writes. It is
// retaken before every statement of an empty page, so it is brought up to date in place rather
// than written whole: the History's text and the pictures stay while their revisions stand, and
// of the local variables only those written since the last time are rewritten.
class Snapshot {
 public:
  Snapshot();
  // Empty until the run phase first takes it.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  friend class SnapshotWriter;

  std::vector<uint8_t> bytes_;
  KeptPart history_;
  KeptPart pictures_;
  // Where each local variable's record begins in `bytes_`, then where the last one ends; valid
  // while `variablesKept_`.
  std::array<uint32_t, kLocalVariableCount + 1> variableStarts_{};
  bool variablesKept_ = false;
};

struct PersistState {
  PersistState();

  Snapshot snapshot;

  // --- Settings of the definition block ---
  int32_t slotCount = kDefaultSaveSlots;  // `savenumber`
  std::string saveTitle;                  // `savename`, Shift JIS
  std::string loadTitle;
  std::string slotName;
  bool globalsOn = false;  // `globalon`: "gloval.sav" is written at exit

  // The right-click menu's enabled flag (`rmode`). It lives here, below the menus, because every
  // save records it; the menus read and set it.
  int32_t rightClickEnabled = 1;

  // Back to the values a definition block starts from.
  void ResetSettings();
};

}  // namespace velmio
