#include "files/picture_decoder.h"
#include "base/ascii.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstring>
#include <memory>
#include <vector>

#include "files/file_reading.h"
#include "files/picture_header.h"

namespace velmio {
namespace {

struct TypeName {
  std::string_view extension;
  const char* type;  // SDL_image's name for the format
};

constexpr TypeName kTypes[] = {
    {"png", "PNG"}, {"jpg", "JPG"}, {"jpeg", "JPG"}, {"jpe", "JPG"}, {"gif", "GIF"},  {"tga", "TGA"},
    {"webp", "WEBP"}, {"bmp", "BMP"}, {"pcx", "PCX"}, {"tif", "TIF"}, {"tiff", "TIF"}, {"lbm", "LBM"},
    {"pnm", "PNM"}, {"ppm", "PNM"}, {"pgm", "PNM"}, {"pbm", "PNM"}, {"xpm", "XPM"}, {"qoi", "QOI"},
};

// The format name for an extension; "face.png" counts as png.
const char* TypeFor(std::string_view extension) {
  size_t dot = extension.rfind('.');
  if (dot != std::string_view::npos) extension.remove_prefix(dot + 1);
  std::string lower = LowerAscii(extension);
  for (const TypeName& entry : kTypes)
    if (entry.extension == lower) return entry.type;
  return nullptr;
}

bool WithinLimits(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxPictureDimension && height <= kMaxPictureDimension &&
         width * height <= kMaxPicturePixels;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePointer = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

bool CopyIndexed(SDL_Surface* surface, DecodedPicture& picture) {
  picture.bitsPerPixel = 8;
  picture.palette.assign(256 * 4, 0);
  const SDL_Palette* palette = surface->format->palette;
  if (palette != nullptr) {
    int count = palette->ncolors < 256 ? palette->ncolors : 256;
    for (int i = 0; i < count; ++i) {
      picture.palette[4 * i] = palette->colors[i].b;
      picture.palette[4 * i + 1] = palette->colors[i].g;
      picture.palette[4 * i + 2] = palette->colors[i].r;
    }
  }
  const int32_t stride = picture.Stride();
  picture.pixels.assign(static_cast<size_t>(stride) * picture.height, 0);
  const auto* source = static_cast<const uint8_t*>(surface->pixels);
  for (int32_t row = 0; row < picture.height; ++row)
    std::memcpy(picture.pixels.data() + static_cast<size_t>(stride) * (picture.height - 1 - row),
                source + static_cast<size_t>(surface->pitch) * row, picture.width);
  return true;
}

bool CopyTrueColour(SDL_Surface* surface, DecodedPicture& picture) {
  SurfacePointer converted(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_BGR24, 0));
  if (!converted) return false;
  picture.bitsPerPixel = 24;
  const int32_t stride = picture.Stride();
  picture.pixels.assign(static_cast<size_t>(stride) * picture.height, 0);
  const auto* source = static_cast<const uint8_t*>(converted->pixels);
  for (int32_t row = 0; row < picture.height; ++row)
    std::memcpy(picture.pixels.data() + static_cast<size_t>(stride) * (picture.height - 1 - row),
                source + static_cast<size_t>(converted->pitch) * row, static_cast<size_t>(picture.width) * 3);
  return true;
}

}  // namespace

bool BuiltInPictureDecoderHandles(std::string_view extension) { return TypeFor(extension) != nullptr; }

bool DecodePictureFile(const std::string& path, std::string_view extension, DecodedPicture& picture) {
  picture = DecodedPicture{};
  const char* type = TypeFor(extension);
  if (type == nullptr) return false;
  // Read through the regular-file check, and the size checked on the header before any decoder
  // allocates from it.
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() > kMaxWholeFileSize || !PictureHeaderAcceptable(bytes, type))
    return false;
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (stream == nullptr) return false;
  SurfacePointer surface(IMG_LoadTyped_RW(stream, 1, type));
  if (!surface || !WithinLimits(surface->w, surface->h)) return false;
  picture.width = surface->w;
  picture.height = surface->h;
  bool copied = surface->format->format == SDL_PIXELFORMAT_INDEX8 ? CopyIndexed(surface.get(), picture)
                                                                   : CopyTrueColour(surface.get(), picture);
  if (!copied) picture = DecodedPicture{};
  return copied;
}

}  // namespace velmio
