#pragma once
#include <string>
#include <string_view>

namespace velmio {

// The part after the last slash or backslash (Shift JIS aware: the second byte of a two-byte
// character is never a separator).
std::string_view BaseName(std::string_view path);

// What picture plug-ins are chosen by: the text after the FIRST dot of the file's base name,
// lower-cased ("chara.face.png" gives "face.png"); "" without a dot. Folders in the path do
// not count, so neither "../x.bmp" nor a dot in the runtime folder's path changes it.
std::string PictureExtension(std::string_view path);

}  // namespace velmio
