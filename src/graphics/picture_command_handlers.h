#pragma once
// The handlers of the picture commands, split by concern over a few files and listed together in
// PictureCommands().
#include <cstdint>

namespace velmio {

class GraphicsContext;
class Script;
struct GraphicsState;
struct PictureLayer;

// A position letter (l, c, r, a...) read as one character and lower-cased.
char ReadPositionLetter(Script& script);

// Adds the screen rectangle a layer at (x, y) covers, one pixel wider and higher, to the
// DirtyRect.
void MarkLayer(GraphicsState& graphics, const PictureLayer& layer, int32_t x, int32_t y);

// Background and standing pictures.
void BackgroundCommand(GraphicsContext& engine);
void LoadStandingCommand(GraphicsContext& engine);
void ClearStandingCommand(GraphicsContext& engine);
void StandingAlphaCommand(GraphicsContext& engine);

// Sprites.
void LoadSpriteCommand(GraphicsContext& engine);
void LoadHiddenSpriteCommand(GraphicsContext& engine);
void ClearSpriteCommand(GraphicsContext& engine);
void SpriteVisibilityCommand(GraphicsContext& engine);
void MoveSpriteCommand(GraphicsContext& engine);

// Screen shaking.
void QuakeHorizontalCommand(GraphicsContext& engine);
void QuakeVerticalCommand(GraphicsContext& engine);

// Plug-in and archive registration.
void PictureLibraryCommand(GraphicsContext& engine);
void ArchiveCommand(GraphicsContext& engine);

}  // namespace velmio
