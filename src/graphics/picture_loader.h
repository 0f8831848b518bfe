#pragma once
// Picture loading (Part 4.2). OWNED BY THE picture-loading HELPER: this declaration was put here
// by graphics-core so that the effects (mask pictures of types 15 and 18) can call it; replace
// or extend this file freely, keeping the signature below. Until the real definition lands,
// load_picture_pending.cpp defines a stand-in: delete it when you add yours.
#include <string_view>

namespace velmio {

class Interpreter;
struct PictureLayer;

// Loads the picture specification (optional display tag, then a file name; Shift JIS) into
// `layer`: resets the layer, applies the tag, finds the file (game folder, then archives),
// reads it (BMP or plug-in). Stops the program through ReportError on failure.
void LoadPicture(Interpreter& engine, PictureLayer& layer, std::string_view specification);

}  // namespace velmio
