#pragma once
// The size a picture file claims, read from its header before any decoder sees it. The decoders
// allocate the whole picture from that size before reading a pixel, so a tiny file claiming
// 20,000 x 20,000 pixels must be refused here.
#include <cstdint>
#include <span>
#include <string_view>

namespace velmio {

// True when `bytes` start with the header of a format this program decodes and the size it states
// is within kMaxPictureDimension and kMaxPicturePixels. `type` is the format the file name asks
// for ("TGA", "PNG"...): the decoder library goes by the content for every format that has a
// signature, and by the name only for TGA, which has none. Files whose format cannot be told are
// refused, so that no decoder is ever reached unchecked.
bool PictureHeaderAcceptable(std::span<const uint8_t> bytes, std::string_view type);

}  // namespace velmio
