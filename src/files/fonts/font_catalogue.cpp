#include "files/fonts/font_catalogue.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "base/encoding.h"
#include "files/fonts/installed_fonts.h"

namespace velmio::fonts {
namespace {

// The usual faces of a Japanese Windows installation.
constexpr std::array<std::string_view, 22> kWindowsFaces = {
    "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Gothic", "MS PGothic",
    "MS Mincho", "MS PMincho", "MS UI Gothic", "ＭＳ ＵＩ ゴシック", "メイリオ", "Meiryo",
    "Meiryo UI", "游ゴシック", "游明朝", "Yu Gothic", "Yu Mincho", "Yu Gothic UI",
    "ＭＳゴシック", "ＭＳ明朝", "MS ゴシック", "MS 明朝"};
constexpr std::string_view kMappedFamily = "IPAGothic";

const std::vector<InstalledFont>& InstalledFonts() {
  static const std::vector<InstalledFont> fonts = ListInstalledFonts();
  return fonts;
}

FontFileLocation LocationOf(const InstalledFont& font) {
  return FontFileLocation{font.file, font.index, font.families.front()};
}

const InstalledFont* FindFamily(std::string_view family) {
  for (const InstalledFont& font : InstalledFonts())
    for (const std::string& name : font.families)
      if (EqualFoldingAscii(name, family)) return &font;
  return nullptr;
}

// The preference order of the fallback: IPAGothic, then any fixed-pitch Japanese face, then any
// Japanese face, then anything.
const InstalledFont* BestFallback() {
  if (const InstalledFont* font = FindFamily(kMappedFamily)) return font;
  const std::vector<InstalledFont>& fonts = InstalledFonts();
  for (const InstalledFont& font : fonts)
    if (font.japanese && font.fixedPitch) return &font;
  for (const InstalledFont& font : fonts)
    if (font.japanese) return &font;
  for (const InstalledFont& font : fonts)
    if (font.fixedPitch) return &font;
  return fonts.empty() ? nullptr : &fonts.front();
}

}  // namespace

std::string MapWindowsFaceName(std::string_view faceUtf8) {
  for (std::string_view windowsFace : kWindowsFaces)
    if (EqualFoldingAscii(windowsFace, faceUtf8)) return std::string(kMappedFamily);
  return std::string(faceUtf8);
}

const std::vector<FontFamily>& JapaneseFixedPitchFamilies() {
  static const std::vector<FontFamily> families = [] {
    std::vector<FontFamily> list;
    for (const InstalledFont& font : InstalledFonts()) {
      if (!font.japanese || !font.fixedPitch) continue;
      const std::string& name = font.families.front();
      bool known = std::any_of(list.begin(), list.end(), [&](const FontFamily& f) { return f.name == name; });
      if (known) continue;
      std::string sjis = Utf8ToShiftJis(name);
      if (sjis.find('?') != std::string::npos && name.find('?') == std::string::npos) sjis.clear();
      list.push_back(FontFamily{name, sjis, font.file, font.index});
    }
    std::sort(list.begin(), list.end(), [](const FontFamily& a, const FontFamily& b) { return a.name < b.name; });
    return list;
  }();
  return families;
}

std::optional<FontFileLocation> FindFontFile(std::string_view faceUtf8) {
  std::string family = MapWindowsFaceName(faceUtf8);
  if (const InstalledFont* font = FindFamily(family)) return LocationOf(*font);
  if (const InstalledFont* font = BestFallback()) return LocationOf(*font);
  return std::nullopt;
}

std::optional<FontFileLocation> FindFontFileSjis(std::string_view faceSjis) {
  return FindFontFile(ShiftJisToUtf8(faceSjis));
}

std::optional<FontFileLocation> FallbackJapaneseFont() {
  if (const InstalledFont* font = BestFallback()) return LocationOf(*font);
  return std::nullopt;
}

}  // namespace velmio::fonts
