#pragma once

namespace velmio {

class Interpreter;

// Initialisation cycle: text layers cleared, configuration back to its defaults.
void InitialiseText(Interpreter& engine);
// ResetToStart: per-game text flags, history, click cursors and window geometry.
void ResetTextForStart(Interpreter& engine);

}  // namespace velmio
