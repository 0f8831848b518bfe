#include "graphics/picture_loader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "base/errors.h"
#include "files/bmp_reader.h"
#include "files/decoded_picture.h"
#include "files/file_reading.h"
#include "files/game_file_lookup.h"
#include "files/picture_decoder.h"
#include "files/picture_log.h"
#include "files/plugin_interface.h"
#include "graphics/archive_lookup.h"
#include "graphics/display_tag.h"
#include "graphics/file_names.h"
#include "graphics/graphics_context.h"

namespace velmio {
namespace {

[[noreturn]] void CannotOpen(std::string_view fileName) {
  RaiseError("ロードエラー", "ファイル%sを開けません。", fileName);
}

[[noreturn]] void LoadFailed() { RaiseError("エラー", "ロード失敗!"); }

void ApplyTag(GraphicsContext& engine, PictureLayer& layer, const DisplayTag& tag) {
  if (!tag.hasTag) return;
  layer.lastTick = engine.platform.Milliseconds();
  if (tag.setsMode) layer.mode = static_cast<TransparencyMode>(tag.mode);
  if (tag.setsKeyColour) {
    layer.keyRed = tag.keyRed;
    layer.keyGreen = tag.keyGreen;
    layer.keyBlue = tag.keyBlue;
  }
  if (tag.setsKeyIndex) layer.keyIndex = tag.keyIndex;
  if (tag.hasAnimation) {
    layer.cells = tag.cells;
    layer.interval = tag.interval;
    layer.intervals = tag.intervals;
    layer.animationMode = static_cast<AnimationMode>(tag.animationMode);
  }
}

uint32_t Little32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

struct PluginMemory {
  void* info = nullptr;
  void* pixels = nullptr;
  ~PluginMemory() {
    std::free(info);
    std::free(pixels);
  }
};

// A native picture plug-in hands over two blocks without their sizes; their sizes follow from the
// header, which is checked before anything beyond it is read.
bool DecodeThroughPlugin(const SharedLibrary& library, const std::string& path, DecodedPicture& picture) {
  // The plug-in opens the file itself; a named pipe or a device must not reach it.
  if (!IsRegularFile(path)) return false;
  auto getPicture = reinterpret_cast<GetPictureFunction>(library.Symbol("GetPicture"));
  if (getPicture == nullptr) return false;
  PluginMemory memory;
  int result = getPicture(path.c_str(), 0, 0, &memory.info, &memory.pixels, nullptr, 0);
  if (result != 0 || memory.info == nullptr || memory.pixels == nullptr) return false;
  const auto* header = static_cast<const uint8_t*>(memory.info);
  const uint32_t headerSize = Little32(header);
  const int32_t width = static_cast<int32_t>(Little32(header + 4));
  const int32_t height = static_cast<int32_t>(Little32(header + 8));
  const int bits = header[14] | (header[15] << 8);
  const uint32_t compression = Little32(header + 16);
  const uint32_t colorsUsed = Little32(header + 32);
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  if (headerSize < 40 || headerSize > 1024 || width < 1 || width > kMaxPictureDimension || rows < 1 ||
      rows > kMaxPictureDimension || width * rows > kMaxPicturePixels)
    return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const size_t depthEntries = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
  const size_t entries = colorsUsed != 0 ? std::min<size_t>(colorsUsed, 256) : depthEntries;
  const size_t masks = compression == 3 && (bits == 16 || bits == 32) && headerSize < 52 ? 12 : 0;
  const size_t blockSize = headerSize + masks + entries * 4;
  const size_t pixelBytes = static_cast<size_t>(DecodedPicture::StrideFor(width, bits)) * static_cast<size_t>(rows);
  return DecodeDib(std::span(header, blockSize), std::span(static_cast<const uint8_t*>(memory.pixels), pixelBytes),
                   picture);
}

// Step 6 of loading for anything but BMP: the first registered plug-in for the extension.
bool DecodeWithPlugin(GraphicsContext& engine, const std::string& path, const std::string& extension,
                      std::string_view fileName, DecodedPicture& picture) {
  PictureSources& sources = engine.graphics.pictureSources;
  for (const std::string& entry : sources.pictureLibraries) {
    size_t bar = entry.find('|');
    if (bar == std::string::npos || std::string_view(entry).substr(bar + 1) != extension) continue;
    LoadedLibrary* library = sources.libraries.FindOrLoad(std::string_view(entry).substr(0, bar));
    if (library == nullptr) return false;
    if (library->native) return DecodeThroughPlugin(*library->native, path, picture);
    // Not a native library (a Windows plug-in): the built-in decoder for its extension.
    return DecodePictureFile(path, extension, picture);
  }
  CannotOpen(fileName);
}

void Load(GraphicsContext& engine, PictureLayer& layer, std::string_view descriptor, bool tolerateMissing) {
  GraphicsState& graphics = engine.graphics;
  layer.Reset();
  layer.mode = graphics.defaultTransparency;
  TagParse parse = ParsePictureDescriptor(descriptor);
  if (parse.error == TagError::BadKeyColour)
    RaiseError("構文エラー", "カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。");
  if (parse.error != TagError::None) RaiseError("タグエラー", "タグの指定がおかしいです。");
  const DisplayTag& tag = parse.tag;
  ApplyTag(engine, layer, tag);
  LogPicture(engine.pictureLog, tag.fileName);

  std::string path = LocateGameFile(tag.fileName);
  std::optional<TemporaryCopy> extracted;  // deleted when loading ends, whichever way it ends
  if (path.empty()) {
    path = FindInArchives(engine, tag.fileName);
    if (!path.empty()) extracted.emplace(path);
  }
  if (path.empty()) {
    if (!tolerateMissing) CannotOpen(tag.fileName);
    layer.MakeBlank(1, 1, 24);
    return;
  }
  const std::string extension = PictureExtension(path);
  DecodedPicture picture;
  bool decoded = extension == "bmp" ? ReadBmpFile(path, picture)
                                    : DecodeWithPlugin(engine, path, extension, tag.fileName, picture);
  if (!decoded || !AdoptDecodedPicture(picture, layer.surface)) LoadFailed();
}

}  // namespace

bool AdoptDecodedPicture(DecodedPicture& picture, Surface& surface) {
  BitmapInfoHeader header;
  header.width = picture.width;
  header.height = picture.height;
  header.bitCount = static_cast<uint16_t>(picture.bitsPerPixel);
  if ((picture.bitsPerPixel != 8 && picture.bitsPerPixel != 24) || !surface.CreateFromHeader(header)) return false;
  if (picture.pixels.size() != surface.pixelStore.size()) {
    surface.Release();
    return false;
  }
  if (picture.bitsPerPixel == 8 && surface.Palette() != nullptr && picture.palette.size() == 256 * 4)
    std::memcpy(surface.Palette(), picture.palette.data(), picture.palette.size());
  surface.pixelStore.swap(picture.pixels);
  surface.pixels = surface.pixelStore.data();
  return true;
}

void LoadPicture(GraphicsContext& engine, PictureLayer& layer, std::string_view descriptor) {
  Load(engine, layer, descriptor, engine.graphics.pictureSources.tolerateMissingPictures);
}

void LoadDefaultPicture(GraphicsContext& engine, PictureLayer& layer, std::string_view descriptor) {
  Load(engine, layer, descriptor, true);
}

}  // namespace velmio
