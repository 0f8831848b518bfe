#include "ui/save_load_pages.h"

namespace velmio {

// The pages come with the save files; until then the items are offered and do nothing.
void SavePage(UiContext&) {}
void LoadPage(UiContext&) {}

}  // namespace velmio
