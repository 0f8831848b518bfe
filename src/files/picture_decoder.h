#pragma once
#include <string>
#include <string_view>

#include "files/decoded_picture.h"

namespace velmio {

// The built-in picture decoders that stand in for picture plug-ins which are not native shared
// objects. `extension` is the one the plug-in entry handles ("png", "jpg"...).
bool BuiltInPictureDecoderHandles(std::string_view extension);

// Decodes the file; indexed pictures stay 8-bit with their palette, everything else becomes
// 24-bit (an alpha channel is dropped). False for an unreadable, corrupt or oversized file.
bool DecodePictureFile(const std::string& path, std::string_view extension, DecodedPicture& picture);

}  // namespace velmio
