#pragma once
// The state of the pages the reader talks to: choices, lookback, the right-click menu, dialogs.

namespace velmio {

struct UiState {};

}  // namespace velmio
