#pragma once
// The fonts this build can draw with: those fontconfig lists on a Linux machine, or the one face
// bundled with the browser build, which has no font folders to look in.
#include <string>
#include <vector>

namespace velmio::fonts {

struct InstalledFont {
  std::vector<std::string> families;  // every name the font has (English and localised)
  std::string file;
  int index = 0;
  bool japanese = false;
  bool fixedPitch = false;  // monospaced or dual width
  bool regular = false;     // weight regular (or medium) and roman
};

// In a stable order, whatever order the system lists them in: regular faces first, then by file.
std::vector<InstalledFont> ListInstalledFonts();

}  // namespace velmio::fonts
