#pragma once
// Outline fonts rasterised to 8-bit coverage (FreeType). The engine asks for a font the way the
// scenario describes it (a face name, a cell height, an average character width, a weight) and
// draws Shift JIS text into a coverage plane it owns. Rasterised glyphs are cached per font, so
// drawing the same character again costs a copy.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmio::fonts {

constexpr int kWeightDefault = 0;
constexpr int kWeightBold = 700;

struct FontRequest {
  std::string faceSjis;  // face name as engine text ("ＭＳ ゴシック"...)
  int height = 16;       // cell height in pixels: ascent plus descent
  int averageWidth = 0;  // width of a half-width character in pixels; 0: in proportion to the height
  int weight = kWeightDefault;  // 700 and above: bold

  bool operator==(const FontRequest&) const = default;
};

// An 8-bit plane the rasteriser draws into: rows top-down, `stride` bytes apart. Drawing keeps
// the larger of the old and the new coverage, so overstriking thickens.
struct CoveragePlane {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

enum class TextEncoding : uint8_t { ShiftJis, Utf8 };

class GlyphRasteriser {
 public:
  GlyphRasteriser();
  ~GlyphRasteriser();
  GlyphRasteriser(const GlyphRasteriser&) = delete;
  GlyphRasteriser& operator=(const GlyphRasteriser&) = delete;

  // Chooses the font for the following calls. Cheap when the same font is selected again.
  void SelectFont(const FontRequest& request);

  // Draws `text` with its cell's top-left corner at (x, y) of `plane`, clipped to the plane.
  // Shift JIS: a lead byte and the byte after it are one character; any other byte is a
  // half-width character. A lead byte at the very end, or a pair that is not a character, is
  // skipped. Returns the pen advance in pixels.
  int Draw(std::string_view text, TextEncoding encoding, const CoveragePlane& plane, int x, int y);

  // The advance `Draw` would return.
  int Measure(std::string_view text, TextEncoding encoding);

  // Ascent plus descent of the selected font, in pixels.
  int CellHeight();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmio::fonts
