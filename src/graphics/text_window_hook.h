#pragma once
// The two places where the graphics subsystem hands over to the text window (Part 3.1). The
// text subsystem defines both (src/text/text_window.cpp).

namespace velmio {

class Interpreter;
struct DirtyRect;

// ComposeScreen's last step (Part 4.1 step 9): when `composeTextWindow` is set, tint the window
// part of the inclusive rectangle on the compose surface and blend the TextLayers over it
// (DrawTextWindow of Part 3.1); otherwise do nothing.
void DrawTextWindowOnCompose(Interpreter& engine, const DirtyRect& rect);

// The text-window hide step of Part 4.3 (EraseTextWindow of Part 3.1), run before `print` and
// the picture commands: when the window is on the screen and the erase setting is on, hide it
// and recompose and show with the window effect; otherwise do nothing.
void EraseTextWindow(Interpreter& engine);

}  // namespace velmio
