#pragma once
// The save and load pages of the right-click menu.

namespace velmio {

class UiContext;

void SavePage(UiContext& engine);
void LoadPage(UiContext& engine);

}  // namespace velmio
