#pragma once

namespace velmio {

class Interpreter;

// Back to the label `start` with a fresh play-through: media stopped, per-game flags, text window
// and pictures reset, local variables cleared, gosub stack emptied.
void ResetToStart(Interpreter& engine);

}  // namespace velmio
