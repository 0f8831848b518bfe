#pragma once
// The handlers of the picture commands, split by concern over a few files and listed together in
// PictureCommands().
#include <cstdint>

namespace velmio {

class Interpreter;
class Script;
struct GraphicsState;
struct PictureLayer;

// A position letter (l, c, r, a...) read as one character and lower-cased.
char ReadPositionLetter(Script& script);

// Adds the screen rectangle a layer at (x, y) covers, one pixel wider and higher, to the
// DirtyRect.
void MarkLayer(GraphicsState& graphics, const PictureLayer& layer, int32_t x, int32_t y);

// Background and standing pictures.
void BackgroundCommand(Interpreter& engine);
void LoadStandingCommand(Interpreter& engine);
void ClearStandingCommand(Interpreter& engine);
void StandingAlphaCommand(Interpreter& engine);

// Sprites.
void LoadSpriteCommand(Interpreter& engine);
void LoadHiddenSpriteCommand(Interpreter& engine);
void ClearSpriteCommand(Interpreter& engine);
void SpriteVisibilityCommand(Interpreter& engine);
void MoveSpriteCommand(Interpreter& engine);

// Screen shaking.
void QuakeHorizontalCommand(Interpreter& engine);
void QuakeVerticalCommand(Interpreter& engine);

// Plug-in and archive registration.
void PictureLibraryCommand(Interpreter& engine);
void ArchiveCommand(Interpreter& engine);

}  // namespace velmio
