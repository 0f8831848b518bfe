#include "platform/sdl/sdl_cursors.h"

#include <SDL_image.h>

namespace velmio {
namespace {

SDL_Cursor* MakeCursor(const CursorFrame& frame) {
  SDL_Surface* surface = nullptr;
  if (!frame.png.empty()) {
    surface = IMG_Load_RW(SDL_RWFromConstMem(frame.png.data(), static_cast<int>(frame.png.size())), 1);
  } else if (!frame.rgba.empty()) {
    surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(frame.rgba.data()), frame.width, frame.height,
                                                 32, frame.width * 4, SDL_PIXELFORMAT_RGBA32);
  }
  if (surface == nullptr) return nullptr;
  int hotX = std::min(frame.hotX, surface->w - 1), hotY = std::min(frame.hotY, surface->h - 1);
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hotX, hotY);
  SDL_FreeSurface(surface);
  return cursor;
}

}  // namespace

SdlCursors::SdlCursors() : arrow_(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW)) {}

SdlCursors::~SdlCursors() {
  Release();
  if (arrow_ != nullptr) SDL_FreeCursor(arrow_);
}

void SdlCursors::Release() {
  if (customInUse_) Show(arrow_);
  customInUse_ = false;
  for (SDL_Cursor* frame : frames_) SDL_FreeCursor(frame);
  frames_.clear();
  steps_.clear();
}

bool SdlCursors::SetCustom(const CursorImage* image, uint32_t now) {
  Release();
  if (image == nullptr) return true;
  for (const CursorFrame& frame : image->frames) {
    SDL_Cursor* cursor = MakeCursor(frame);
    if (cursor == nullptr) {
      Release();
      return false;
    }
    frames_.push_back(cursor);
  }
  steps_ = image->steps;
  step_ = 0;
  stepStart_ = now;
  return !frames_.empty();
}

void SdlCursors::Show(SDL_Cursor* cursor) {
  if (cursor == nullptr || cursor == shown_) return;
  SDL_SetCursor(cursor);
  shown_ = cursor;
}

void SdlCursors::Use(CursorChoice choice) {
  customInUse_ = choice == CursorChoice::Custom && !frames_.empty();
  if (!customInUse_) {
    Show(arrow_);
    return;
  }
  size_t frame = steps_.empty() ? 0 : static_cast<size_t>(steps_[step_].frame);
  Show(frames_[frame]);
}

void SdlCursors::Animate(uint32_t now) {
  if (steps_.empty()) return;
  bool moved = false;
  // Several frames may have passed while nobody looked; keep the animation's own pace.
  for (int guard = 0; guard < 1000 && now - stepStart_ >= steps_[step_].milliseconds; ++guard) {
    stepStart_ += steps_[step_].milliseconds;
    step_ = (step_ + 1) % steps_.size();
    moved = true;
  }
  if (now - stepStart_ >= steps_[step_].milliseconds) stepStart_ = now;
  if (moved && customInUse_) Show(frames_[static_cast<size_t>(steps_[step_].frame)]);
}

uint32_t SdlCursors::TimeToNextFrame(uint32_t now, uint32_t limit) const {
  if (steps_.empty() || !customInUse_) return limit;
  uint32_t elapsed = now - stepStart_;
  uint32_t duration = steps_[step_].milliseconds;
  uint32_t remaining = elapsed >= duration ? 0 : duration - elapsed;
  return remaining < limit ? remaining : limit;
}

}  // namespace velmio
