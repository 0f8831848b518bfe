#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "files/fonts/installed_fonts.h"

namespace velmio::fonts {

std::vector<InstalledFont> ListInstalledFonts() {
  std::vector<InstalledFont> fonts;
  if (!FcInit()) return fonts;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, FC_LANG, FC_WEIGHT,
                                          FC_SLANT, FC_OUTLINE, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcBool outline = FcTrue;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) continue;
    InstalledFont installed;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    installed.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(font, FC_INDEX, 0, &installed.index);
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n)
      installed.families.emplace_back(reinterpret_cast<const char*>(family));
    if (installed.families.empty()) continue;
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(font, FC_SPACING, 0, &spacing);
    installed.fixedPitch = spacing == FC_MONO || spacing == FC_DUAL || spacing == FC_CHARCELL;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch)
      installed.japanese = FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    installed.regular = slant == FC_SLANT_ROMAN && weight >= FC_WEIGHT_BOOK && weight <= FC_WEIGHT_MEDIUM;
    fonts.push_back(std::move(installed));
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  // Everything needed is copied out; the configuration is not used again.
  FcFini();
  std::stable_sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
    if (a.regular != b.regular) return a.regular;
    if (a.file != b.file) return a.file < b.file;
    return a.index < b.index;
  });
  return fonts;
}

}  // namespace velmio::fonts
