#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "files/decoded_picture.h"

namespace velmio {

// Reads a BMP file image. 1 and 4-bit pictures become 8-bit (same indices, palette padded to 256
// entries); 16 and 32-bit pictures become 24-bit; top-down files are turned bottom-up. RLE and
// other compressed pixel data is not decoded: the picture keeps its size and stays black. False,
// with `picture` left empty, for anything truncated, inconsistent or out of bounds.
bool DecodeBmp(std::span<const uint8_t> file, DecodedPicture& picture);

// The same for a bitmap handed over in two blocks: the information header followed by its
// palette, and the pixel rows (what a picture plug-in returns).
bool DecodeDib(std::span<const uint8_t> header, std::span<const uint8_t> pixels, DecodedPicture& picture);

bool ReadBmpFile(const std::string& path, DecodedPicture& picture);

}  // namespace velmio
