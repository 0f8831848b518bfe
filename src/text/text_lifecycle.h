#pragma once

namespace velmio {

class TextContext;

// Initialisation cycle: text layers cleared, configuration back to its defaults.
void InitialiseText(TextContext& engine);
// ResetToStart: per-game text flags, history, click cursors and window geometry.
void ResetTextForStart(TextContext& engine);

}  // namespace velmio
