#pragma once

namespace velmio {

class ShellContext;

// Full screen (menu id 40002); nothing when already in full screen. A platform refusal is fatal.
void SwitchToFullScreen(ShellContext& engine);
// Back to the window (40003); nothing when not in full screen. When the platform refuses ten
// times in a row the program simply stays in full screen.
void SwitchToWindow(ShellContext& engine);
// Full screen only: shows the menu bar while the pointer is in the top rows, hides it below.
void UpdateFullScreenMenuBar(ShellContext& engine, int pointerY);

}  // namespace velmio
