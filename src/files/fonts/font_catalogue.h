#pragma once
// The fonts installed on the machine, as fontconfig knows them. Scenarios name Windows faces
// ("ＭＳ ゴシック" and the like); those are mapped to the Japanese faces a Linux system has, and
// a face that is not installed falls back to the best fixed-pitch Japanese face, so text is
// always drawn with something that covers Japanese.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmio::fonts {

// One installed family. Names are UTF-8; `sjisName` is the same name as engine text (empty when
// it has no Shift JIS form).
struct FontFamily {
  std::string name;
  std::string sjisName;
  std::string file;  // the font file of its regular face
  int index = 0;     // face index inside the file (collections)
};

// Where a face's outlines are.
struct FontFileLocation {
  std::string path;
  int index = 0;
  std::string family;  // UTF-8 family actually chosen
};

// Families of fixed pitch (monospaced or dual-width CJK) that cover Japanese, sorted by name,
// each once: the choices of the font menu.
const std::vector<FontFamily>& JapaneseFixedPitchFamilies();

// The file of a face named in UTF-8. Windows faces map to IPAGothic; an unknown face falls back
// to the best fixed-pitch Japanese face, then to any Japanese face, then to any font at all.
// Empty only on a machine without a single font.
std::optional<FontFileLocation> FindFontFile(std::string_view faceUtf8);

// The same for a face name in engine text (Shift JIS).
std::optional<FontFileLocation> FindFontFileSjis(std::string_view faceSjis);

// The face the engine falls back to when a requested face lacks a character: the best
// fixed-pitch Japanese face.
std::optional<FontFileLocation> FallbackJapaneseFont();

// The installed family a Windows face name stands for ("MS Gothic" -> "IPAGothic"), or the name
// itself when it is not a known Windows face.
std::string MapWindowsFaceName(std::string_view faceUtf8);

}  // namespace velmio::fonts
