#pragma once
// The lookback viewer: the pages of story text that have left the screen, one at a time.
#include <cstdint>
#include <string>

namespace velmio {

class UiContext;

// Page n of the typed text (n from 0, the oldest kept): skips n page marks, two-byte characters
// as units, and copies up to the next mark or the end.
std::string CopyHistoryPage(const uint8_t* history, int page);

// Returns 1 when the player left it with a right click, 0 when there was nothing to show.
int LookbackViewer(UiContext& engine);

// The default button pictures, when the definition block named none.
void LoadDefaultLookbackButtons(UiContext& engine);

}  // namespace velmio
