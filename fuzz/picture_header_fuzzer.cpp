// Feeds arbitrary bytes to the header check that stands before every picture decoder, and the
// files it accepts to the decoder: the first byte picks the format the file name asks for.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>

#include "files/decoded_picture.h"
#include "files/picture_decoder.h"
#include "files/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  static const char* const kExtensions[] = {"tga", "png", "jpg", "gif", "bmp", "ppm", "pcx", "tif", "qoi", "webp", "lbm", "xpm"};
  static const char* const kTypes[] = {"TGA", "PNG", "JPG", "GIF", "BMP", "PNM", "PCX", "TIF", "QOI", "WEBP", "LBM", "XPM"};
  if (size == 0) return 0;
  const size_t kind = data[0] % std::size(kTypes);
  std::span<const uint8_t> bytes(data + 1, size - 1);
  if (!PictureHeaderAcceptable(bytes, kTypes[kind])) return 0;
  static const std::string path = "/tmp/velmio-picture-fuzz-" + std::to_string(getpid());
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  DecodedPicture picture;
  if (DecodePictureFile(path, kExtensions[kind], picture) &&
      (picture.width > kMaxPictureDimension || picture.height > kMaxPictureDimension))
    __builtin_trap();
  return 0;
}
