// Feeds arbitrary bytes to the BMP reader, as a whole file and as the two blocks a picture
// plug-in hands over, and moves every accepted picture into a surface.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/bmp_reader.h"
#include "graphics/picture_loader.h"
#include "graphics/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  std::span<const uint8_t> bytes(data, size);
  DecodedPicture picture;
  if (DecodeBmp(bytes, picture)) {
    if (picture.pixels.size() != static_cast<size_t>(picture.Stride()) * picture.height) std::abort();
    Surface surface;
    if (!AdoptDecodedPicture(picture, surface)) std::abort();
  }
  if (size > 1) {
    size_t split = data[0] % size;
    if (DecodeDib(bytes.subspan(1, split), bytes.subspan(1 + split), picture)) {
      Surface surface;
      if (!AdoptDecodedPicture(picture, surface)) std::abort();
    }
  }
  return 0;
}
