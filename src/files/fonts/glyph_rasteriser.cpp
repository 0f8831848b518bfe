#include "files/fonts/glyph_rasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <list>
#include <map>
#include <optional>
#include <unordered_map>

#include "base/encoding.h"
#include "files/fonts/font_catalogue.h"

namespace velmio::fonts {
namespace {

// Sized fonts kept with their glyph caches; the text window, the menus and the lookback use a
// handful at a time.
constexpr size_t kMaxSizedFonts = 8;

struct Glyph {
  int left = 0;     // from the pen to the bitmap's left column
  int top = 0;      // from the baseline up to the bitmap's top row
  int width = 0;
  int rows = 0;
  int advance = 0;  // pixels
  std::vector<uint8_t> bitmap;  // rows top-down, `width` bytes each
};

// Vertical metrics of a face in font units, as Windows measures the cell: the OS/2 table's
// Windows ascent and descent, else the horizontal header's.
struct FaceMetrics {
  int ascent = 0;
  int descent = 0;
  int unitsPerEm = 1000;
};

FaceMetrics MetricsOf(FT_Face face) {
  FaceMetrics metrics;
  metrics.unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    metrics.ascent = os2->usWinAscent;
    metrics.descent = os2->usWinDescent;
  } else {
    metrics.ascent = face->ascender;
    metrics.descent = -face->descender;
  }
  if (metrics.ascent + metrics.descent <= 0) {
    metrics.ascent = metrics.unitsPerEm * 88 / 100;
    metrics.descent = metrics.unitsPerEm - metrics.ascent;
  }
  return metrics;
}

struct OpenFace {
  std::string path;
  int index = 0;
  FT_Face face = nullptr;
  FaceMetrics metrics;
};

struct SizedFont {
  std::string path;
  int index = 0;
  int height = 0;
  int averageWidth = 0;
  bool bold = false;
  OpenFace* face = nullptr;
  OpenFace* fallback = nullptr;  // for characters the face lacks
  int ascent = 0;                // pixels
  std::unordered_map<uint32_t, Glyph> glyphs;  // by code point
};

}  // namespace

struct GlyphRasteriser::Impl {
  FT_Library library = nullptr;
  std::list<OpenFace> faces;      // stable addresses
  std::list<SizedFont> sized;     // most recently used first
  SizedFont* current = nullptr;
  std::optional<FontRequest> currentRequest;

  Impl() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  ~Impl() {
    for (OpenFace& face : faces)
      if (face.face) FT_Done_Face(face.face);
    if (library) FT_Done_FreeType(library);
  }

  OpenFace* Open(const FontFileLocation& location) {
    for (OpenFace& face : faces)
      if (face.path == location.path && face.index == location.index) return face.face ? &face : nullptr;
    OpenFace& face = faces.emplace_back();
    face.path = location.path;
    face.index = location.index;
    if (!library || FT_New_Face(library, location.path.c_str(), location.index, &face.face) != 0) {
      face.face = nullptr;
      return nullptr;
    }
    FT_Select_Charmap(face.face, FT_ENCODING_UNICODE);
    face.metrics = MetricsOf(face.face);
    return &face;
  }

  void Select(const FontRequest& request) {
    if (currentRequest && *currentRequest == request && current) return;
    currentRequest = request;
    std::optional<FontFileLocation> location = FindFontFileSjis(request.faceSjis);
    int height = std::max(1, request.height);
    int averageWidth = std::max(0, request.averageWidth);
    bool bold = request.weight >= 600;
    std::string path = location ? location->path : std::string();
    int index = location ? location->index : 0;
    for (auto it = sized.begin(); it != sized.end(); ++it) {
      if (it->path == path && it->index == index && it->height == height && it->averageWidth == averageWidth &&
          it->bold == bold) {
        sized.splice(sized.begin(), sized, it);
        current = &sized.front();
        return;
      }
    }
    if (sized.size() >= kMaxSizedFonts) sized.pop_back();
    SizedFont& font = sized.emplace_front();
    font.path = path;
    font.index = index;
    font.height = height;
    font.averageWidth = averageWidth;
    font.bold = bold;
    font.face = location ? Open(*location) : nullptr;
    std::optional<FontFileLocation> fallback = FallbackJapaneseFont();
    if (fallback) font.fallback = Open(*fallback);
    if (font.fallback == font.face) font.fallback = nullptr;
    if (font.face) {
      const FaceMetrics& metrics = font.face->metrics;
      font.ascent = (height * metrics.ascent + (metrics.ascent + metrics.descent) / 2) /
                    (metrics.ascent + metrics.descent);
    } else {
      font.ascent = height * 7 / 8;
    }
    current = &font;
  }

  // Sizes `face` for the current font: the cell (Windows ascent plus descent) is `height`
  // pixels; a half-width character is `averageWidth` pixels, so a full-width one is twice that.
  bool SetSize(OpenFace& face, const SizedFont& font) {
    const FaceMetrics& metrics = face.metrics;
    FT_Long emY = static_cast<FT_Long>(font.height) * 64 * metrics.unitsPerEm / (metrics.ascent + metrics.descent);
    FT_Long emX = font.averageWidth > 0 ? static_cast<FT_Long>(font.averageWidth) * 2 * 64 : emY;
    FT_Size_RequestRec size{};
    size.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    size.width = std::max<FT_Long>(emX, 64);
    size.height = std::max<FT_Long>(emY, 64);
    return FT_Request_Size(face.face, &size) == 0;
  }

  std::optional<Glyph> RenderFrom(OpenFace& face, SizedFont& font, char32_t code) {
    FT_UInt index = FT_Get_Char_Index(face.face, code);
    if (index == 0) return std::nullopt;
    if (!SetSize(face, font)) return std::nullopt;
    if (FT_Load_Glyph(face.face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return std::nullopt;
    FT_GlyphSlot slot = face.face->glyph;
    if (font.bold && slot->format == FT_GLYPH_FORMAT_OUTLINE && !(face.face->style_flags & FT_STYLE_FLAG_BOLD)) {
      // Synthetic bold as the platform's font mapper makes it: the strokes widen by a
      // twenty-fourth of the em horizontally, half that vertically.
      FT_Pos strength = FT_MulFix(face.face->units_per_EM, face.face->size->metrics.y_scale) / 24;
      FT_Outline_EmboldenXY(&slot->outline, strength, strength / 2);
      slot->advance.x += strength;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return std::nullopt;
    Glyph glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.bitmap.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
      const uint8_t* source = slot->bitmap.buffer + static_cast<ptrdiff_t>(row) * slot->bitmap.pitch;
      if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        std::memcpy(glyph.bitmap.data() + static_cast<size_t>(row) * glyph.width, source, glyph.width);
      } else if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        for (int column = 0; column < glyph.width; ++column)
          glyph.bitmap[static_cast<size_t>(row) * glyph.width + column] =
              (source[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
      }
    }
    return glyph;
  }

  const Glyph* GlyphFor(char32_t code) {
    static const Glyph kEmpty{};
    if (!current) return &kEmpty;
    SizedFont& font = *current;
    auto found = font.glyphs.find(code);
    if (found != font.glyphs.end()) return &found->second;
    std::optional<Glyph> glyph;
    if (font.face) glyph = RenderFrom(*font.face, font, code);
    if (!glyph && font.fallback) glyph = RenderFrom(*font.fallback, font, code);
    if (!glyph) {
      // A character no installed font has: an empty cell of the usual width.
      glyph = Glyph{};
      glyph->advance = font.averageWidth > 0 ? font.averageWidth * (code >= 0x2E80 ? 2 : 1) : font.height / 2;
    }
    return &font.glyphs.emplace(code, std::move(*glyph)).first->second;
  }

  static char32_t SjisCode(const unsigned char* bytes, size_t length) {
    const char32_t code = ShiftJisCodePoint(std::string_view(reinterpret_cast<const char*>(bytes), length));
    // Control bytes are never drawn.
    return code < 0x20 || code == 0x7F ? 0 : code;
  }

  static char32_t NextUtf8(std::string_view text, size_t& position) {
    unsigned char byte = static_cast<unsigned char>(text[position++]);
    if (byte < 0x80) return byte;
    int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    char32_t code = byte & (0x3F >> extra);
    if (extra == 0) return 0;
    for (int i = 0; i < extra; ++i) {
      if (position >= text.size()) return 0;
      unsigned char next = static_cast<unsigned char>(text[position]);
      if ((next & 0xC0) != 0x80) return 0;
      code = code << 6 | (next & 0x3F);
      ++position;
    }
    return code;
  }

  template <typename Visit>
  void Walk(std::string_view text, TextEncoding encoding, Visit visit) {
    size_t position = 0;
    while (position < text.size()) {
      char32_t code = 0;
      if (encoding == TextEncoding::Utf8) {
        code = NextUtf8(text, position);
      } else {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data()) + position;
        if (IsLeadByte(bytes[0])) {
          if (position + 1 >= text.size()) break;  // a lead byte without its pair
          code = SjisCode(bytes, 2);
          position += 2;
        } else {
          code = SjisCode(bytes, 1);
          position += 1;
        }
      }
      if (code != 0) visit(*GlyphFor(code));
    }
  }
};

GlyphRasteriser::GlyphRasteriser() : impl_(std::make_unique<Impl>()) {}
GlyphRasteriser::~GlyphRasteriser() = default;

void GlyphRasteriser::SelectFont(const FontRequest& request) { impl_->Select(request); }

int GlyphRasteriser::CellHeight() { return impl_->current ? impl_->current->height : 0; }

int GlyphRasteriser::Measure(std::string_view text, TextEncoding encoding) {
  int advance = 0;
  impl_->Walk(text, encoding, [&](const Glyph& glyph) { advance += glyph.advance; });
  return advance;
}

int GlyphRasteriser::Draw(std::string_view text, TextEncoding encoding, const CoveragePlane& plane, int x, int y) {
  if (!impl_->current) return 0;
  const int baseline = y + impl_->current->ascent;
  int pen = x;
  impl_->Walk(text, encoding, [&](const Glyph& glyph) {
    int left = pen + glyph.left;
    int top = baseline - glyph.top;
    int firstColumn = std::max(0, -left);
    int lastColumn = std::min(glyph.width, plane.width - left);  // exclusive
    int firstRow = std::max(0, -top);
    int lastRow = std::min(glyph.rows, plane.height - top);
    for (int row = firstRow; row < lastRow; ++row) {
      const uint8_t* source = glyph.bitmap.data() + static_cast<size_t>(row) * glyph.width;
      uint8_t* target = plane.pixels + static_cast<ptrdiff_t>(top + row) * plane.stride + left;
      for (int column = firstColumn; column < lastColumn; ++column)
        target[column] = std::max(target[column], source[column]);
    }
    pen += glyph.advance;
  });
  return pen - x;
}

}  // namespace velmio::fonts
