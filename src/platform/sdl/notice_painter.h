#pragma once
// Small labels the window lays over the picture it presents (the skip mark, the confirmation of
// a screenshot or of a scaling change). They are never part of the game's screen, so screenshots
// and saves do not show them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmio {

namespace fonts {
class GlyphRasteriser;
}

class NoticePainter {
 public:
  static constexpr int kHeight = 22;

  NoticePainter();
  ~NoticePainter();
  NoticePainter(const NoticePainter&) = delete;
  NoticePainter& operator=(const NoticePainter&) = delete;

  // Paints UTF-8 `text` as light letters on a translucent dark plate into `pixels` (0xAARRGGBB,
  // `stride` pixels a row, kHeight rows), at most `maxWidth` wide; returns the plate's width.
  int Paint(const std::string& text, uint32_t* pixels, int stride, int maxWidth);

 private:
  std::unique_ptr<fonts::GlyphRasteriser> rasteriser_;
  std::vector<uint8_t> coverage_;
};

}  // namespace velmio
