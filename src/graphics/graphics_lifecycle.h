#pragma once

namespace velmio {

class Interpreter;

// Initialisation cycle: surfaces created and cleared, effect slots reset, configuration defaults.
void InitialiseGraphics(Interpreter& engine);
// ResetToStart: screen cleared to black, picture and sprite names emptied.
void ResetGraphicsForStart(Interpreter& engine);
// ResetToStart's last step: the monochrome and negative filters off.
void ResetGraphicsFiltersForStart(Interpreter& engine);

}  // namespace velmio
