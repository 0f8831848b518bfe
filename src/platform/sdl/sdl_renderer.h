#pragma once
#include <SDL.h>

namespace velmio {

// The renderer for the game window: OpenGL where a GPU draws it, else SDL's software renderer
// writing straight into the window (a software OpenGL costs several times the processor time
// per frame). SDL_RENDER_DRIVER, when set, decides instead.
SDL_Renderer* CreateRenderer(SDL_Window* window);

}  // namespace velmio
