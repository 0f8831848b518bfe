#pragma once
// The two places where the graphics subsystem hands over to the text window. The
// text subsystem defines both (src/text/text_window.cpp).

namespace velmio {

class Interpreter;
struct DirtyRect;

// ComposeScreen's last step: when `composeTextWindow` is set, tint the window
// part of the inclusive rectangle on the compose surface and blend the TextLayers over it
// (DrawTextWindow); otherwise do nothing.
void DrawTextWindowOnCompose(Interpreter& engine, const DirtyRect& rect);

// The text-window hide step (EraseTextWindow), run before `print` and
// the picture commands: when the window is on the screen and the erase setting is on, hide it
// and recompose and show with the window effect; otherwise do nothing.
void EraseTextWindow(Interpreter& engine);

}  // namespace velmio
