#pragma once
#include <string>
#include <vector>

#include "graphics/library_table.h"

namespace velmio {

constexpr size_t kMaxPictureLibraries = 50;
constexpr size_t kMaxArchives = 50;

// Where pictures come from besides plain BMP files in the game folder.
struct PictureSources {
  // "library|extension" entries of `spi`, lower-cased, in registration order.
  std::vector<std::string> pictureLibraries;
  // "archive|library" entries of `arc`, lower-cased, in registration order.
  std::vector<std::string> archives;
  LibraryTable libraries;
  // Set only while the built-in default pictures load: a missing file then gives a 1 x 1 black
  // picture instead of an error.
  bool tolerateMissingPictures = false;
};

}  // namespace velmio
