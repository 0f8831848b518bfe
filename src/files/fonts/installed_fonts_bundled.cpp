#include "files/fonts/installed_fonts.h"

namespace velmio::fonts {

// VELMIO_BUNDLED_FONT is where the build put IPAGothic: packed with the game for a page, the
// system's copy for the node harness.
std::vector<InstalledFont> ListInstalledFonts() {
  InstalledFont font;
  font.families = {"IPAGothic", "IPAゴシック"};
  font.file = VELMIO_BUNDLED_FONT;
  font.japanese = true;
  font.fixedPitch = true;
  font.regular = true;
  return {font};
}

}  // namespace velmio::fonts
