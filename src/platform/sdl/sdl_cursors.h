#pragma once
// The mouse cursors of the SDL window: the system arrow and the game's custom cursor, which may
// be animated (its frames are switched by time).
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/cursor_image.h"
#include "platform/platform.h"

namespace velmio {

class SdlCursors {
 public:
  SdlCursors();
  ~SdlCursors();
  SdlCursors(const SdlCursors&) = delete;
  SdlCursors& operator=(const SdlCursors&) = delete;

  // Replaces the custom cursor; null releases it. False when a frame cannot become a cursor.
  bool SetCustom(const CursorImage* image, uint32_t now);
  void Use(CursorChoice choice);
  // Switches an animated custom cursor to the frame due at `now`.
  void Animate(uint32_t now);
  // Milliseconds until the next frame is due, or `limit` when nothing is animated.
  uint32_t TimeToNextFrame(uint32_t now, uint32_t limit) const;

 private:
  void Show(SDL_Cursor* cursor);
  void Release();

  SDL_Cursor* arrow_ = nullptr;
  SDL_Cursor* shown_ = nullptr;
  std::vector<SDL_Cursor*> frames_;
  std::vector<CursorStep> steps_;
  size_t step_ = 0;
  uint32_t stepStart_ = 0;
  bool customInUse_ = false;
};

}  // namespace velmio
