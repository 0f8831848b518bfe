// TEMPORARY, by graphics-core: a LoadPicture that refuses every picture, so that the engine links
// until the picture-loading helper defines the real one (src/graphics/picture_loader.cpp).
// picture-loading: delete this file in the commit that adds your LoadPicture.
#include "graphics/picture_loader.h"

#include <string>

#include "shell/errors.h"

namespace velmio {

void LoadPicture(Interpreter& engine, PictureLayer& layer, std::string_view specification) {
  RaiseError("ロードエラー", "ファイル%sを開けません。", specification);
}

}  // namespace velmio
