#include "platform/sdl/sdl_renderer.h"

#include <cstring>

namespace velmio {
namespace {

// True when the OpenGL behind an accelerated renderer is a software rasteriser (a machine or
// virtual display without a GPU): it spends far more processor time per frame than SDL's own
// software renderer drawing straight into the window.
bool RasterisedInSoftware(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  constexpr unsigned kGlRenderer = 0x1F01;
  const char* name = getString != nullptr ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
  return name != nullptr && (std::strstr(name, "llvmpipe") != nullptr || std::strstr(name, "softpipe") != nullptr ||
                             std::strstr(name, "Software Rasterizer") != nullptr);
}

}  // namespace

SDL_Renderer* CreateRenderer(SDL_Window* window) {
  // A renderer the player chose (SDL_RENDER_DRIVER) is taken as it is.
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr) return SDL_CreateRenderer(window, -1, 0);
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer != nullptr && !RasterisedInSoftware(renderer)) return renderer;
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace velmio
