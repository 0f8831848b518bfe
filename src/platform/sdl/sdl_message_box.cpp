#include "platform/sdl/sdl_message_box.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/screen.h"

namespace velmio {
namespace {

std::optional<MessageBoxKey> BoxKey(const SDL_KeyboardEvent& key) {
  switch (key.keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
      return MessageBoxKey::Enter;
    case SDLK_ESCAPE:
      return MessageBoxKey::Escape;
    case SDLK_LEFT:
    case SDLK_UP:
      return MessageBoxKey::Left;
    case SDLK_RIGHT:
    case SDLK_DOWN:
      return MessageBoxKey::Right;
    case SDLK_TAB:
      return (key.keysym.mod & KMOD_SHIFT) != 0 ? MessageBoxKey::Left : MessageBoxKey::Tab;
    default:
      return std::nullopt;
  }
}

// Copies the box's 0xAARRGGBB pixels into the window's own surface, whatever its format.
void PaintInto(SDL_Window* window, MessageBoxWidget& box, std::vector<uint32_t>& pixels) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return;
  WidgetRect rect = box.Rect();
  pixels.assign(static_cast<size_t>(rect.width) * rect.height, 0);
  box.Paint(pixels.data(), rect.width);
  int width = std::min(rect.width, surface->w), height = std::min(rect.height, surface->h);
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, pixels.data(), rect.width * 4, surface->format->format,
                    surface->pixels, surface->pitch);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurface(window);
}

}  // namespace

std::optional<MessageBoxAnswer> FeedMessageBox(MessageBoxWidget& box, const SDL_Event& event,
                                               const std::function<SDL_Point(int, int)>& toArea) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) return box.DismissAnswer();
      return std::nullopt;
    case SDL_MOUSEMOTION: {
      SDL_Point point = toArea(event.motion.x, event.motion.y);
      box.PointerMoved(point.x, point.y);
      return std::nullopt;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) return std::nullopt;
      SDL_Point point = toArea(event.button.x, event.button.y);
      if (event.type == SDL_MOUSEBUTTONUP) return box.PointerReleased(point.x, point.y);
      box.PointerPressed(point.x, point.y);
      return std::nullopt;
    }
    case SDL_KEYDOWN: {
      std::optional<MessageBoxKey> key = BoxKey(event.key);
      return key ? box.KeyPressed(*key) : std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

MessageBoxAnswer ShowMessageBoxWindow(std::string_view text, std::string_view title, MessageBoxStyle style) {
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  MessageBoxWidget box(kScreenWidth, kScreenHeight, ShiftJisToUtf8(title), ShiftJisToUtf8(text),
                       style);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return box.DismissAnswer();
  const WidgetRect rect = box.Rect();
  SDL_Window* window = SDL_CreateWindow(ShiftJisToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        rect.width, rect.height, SDL_WINDOW_ALWAYS_ON_TOP);
  if (window == nullptr) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return box.DismissAnswer();
  }
  SDL_RaiseWindow(window);
  auto toArea = [&rect](int x, int y) { return SDL_Point{x + rect.left, y + rect.top}; };
  std::vector<uint32_t> pixels;
  uint64_t versionShown = 0;
  bool quitting = false;
  std::optional<MessageBoxAnswer> answer;
  while (!answer) {
    if (box.Version() != versionShown) {
      PaintInto(window, box, pixels);
      versionShown = box.Version();
    }
    SDL_Event event;
    if (!WaitForEvent(event)) {
      answer = box.DismissAnswer();
    } else if (event.type == SDL_QUIT) {
      quitting = true;
      answer = box.DismissAnswer();
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      versionShown = 0;
    } else {
      answer = FeedMessageBox(box, event, toArea);
    }
  }
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  // A close request that came while the box was open still reaches the game afterwards.
  if (quitting) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
  return *answer;
}

}  // namespace velmio
