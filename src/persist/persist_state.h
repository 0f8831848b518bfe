#pragma once
// The state of saving and loading: the save-point snapshot, the slot settings of the save and
// load pages, and whether the global variables are written at exit.
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

constexpr int kMaxSaveSlots = 20;  // the page's digit table labels slots 1 to 20
constexpr int kDefaultSaveSlots = 9;

// Where the snapshot holds the History's text, and which revision of the History it is.
struct HistoryInSnapshot {
  uint64_t revision = ~uint64_t{0};
  size_t offset = 0;
  size_t size = 0;  // with its NUL
};

struct PersistState {
  PersistState();

  // The state record as it was at the start of the current text page: what a save writes.
  // Its capacity is reserved once, so that retaking it on every statement never allocates.
  std::vector<uint8_t> snapshot;
  HistoryInSnapshot historyInSnapshot;

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
