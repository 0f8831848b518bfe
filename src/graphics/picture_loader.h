#pragma once
// Picture loading: display tag, game folder or archives, BMP reader or picture plug-in.
#include <string_view>

namespace velmio {

class GraphicsContext;
struct PictureLayer;
struct DecodedPicture;
struct Surface;

// Loads the picture descriptor (optional display tag, then a file name; Shift JIS) into
// `layer`: resets the layer, applies the tag, finds the file (game folder, then archives),
// reads it (BMP or plug-in). Stops the program through ReportError on failure. A missing file
// is an error unless the missing-picture tolerance is on (then the layer gets a 1 x 1 black
// picture).
void LoadPicture(GraphicsContext& engine, PictureLayer& layer, std::string_view descriptor);

// LoadPicture with the missing-picture tolerance on for this one call: for the built-in default
// pictures (click-wait cursors, lookback buttons), which a game need not ship.
void LoadDefaultPicture(GraphicsContext& engine, PictureLayer& layer, std::string_view descriptor);

// Moves a decoded picture into a surface (8-bit with its palette, or 24-bit). False when the
// surface refuses its size.
bool AdoptDecodedPicture(DecodedPicture& picture, Surface& surface);

}  // namespace velmio
