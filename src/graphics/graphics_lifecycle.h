#pragma once

namespace velmio {

class GraphicsContext;

// Initialisation cycle: surfaces created and cleared, effect slots reset, configuration defaults.
void InitialiseGraphics(GraphicsContext& engine);
// ResetToStart: screen cleared to black, picture and sprite names emptied.
void ResetGraphicsForStart(GraphicsContext& engine);
// ResetToStart's last step: the monochrome and negative filters off.
void ResetGraphicsFiltersForStart(GraphicsContext& engine);
// Loading a saved game: the background, standing pictures and sprites rebuilt from the names
// the save restored (positions and visibility are already in place).
void RestoreSavedPictures(GraphicsContext& engine);

}  // namespace velmio
