#pragma once

namespace velmio {

class ShellContext;

// What the destruction of the main window does, however the program ends: media silenced, the
// files the player must not lose written, the display given back. Shows nothing and cannot
// fail; a file that cannot be written is skipped.
void OrderlyShutdown(ShellContext& engine);

}  // namespace velmio
