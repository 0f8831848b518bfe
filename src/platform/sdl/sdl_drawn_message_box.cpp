#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_platform.h"

namespace velmio {

// The box over the picture: nothing else reaches the game while it is open, as with any modal
// box, and it takes the keyboard (Enter, Escape, the arrows and Tab) as well as the mouse.
MessageBoxAnswer SdlPlatform::ShowDrawnMessageBox(const std::string& text, const std::string& title,
                                                  MessageBoxStyle style) {
  if (!shown_) ShowWindow();
  SDL_RaiseWindow(window_);
  box_ = std::make_unique<MessageBoxWidget>(kPictureWidth, kPictureHeight, title, text, style);
  boxVersionShown_ = 0;
  needsRender_ = true;
  std::optional<MessageBoxAnswer> answer;
  bool quitting = false;
  while (!answer) {
    RenderIfNeeded();
    SDL_Event event;
    if (!WaitForEvent(event)) {
      answer = box_->DismissAnswer();
    } else if (event.type == SDL_QUIT) {
      quitting = true;
      answer = box_->DismissAnswer();
    } else {
      TranslateForBox(event, answer);
    }
    if (box_->Version() != boxVersionShown_) needsRender_ = true;
  }
  box_.reset();
  needsRender_ = true;
  RenderIfNeeded();
  if (quitting) RepostQuit();
  return *answer;
}

void SdlPlatform::RepostQuit() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

void SdlPlatform::TranslateForBox(const SDL_Event& event, std::optional<MessageBoxAnswer>& answer) {
  if (event.type == SDL_WINDOWEVENT && event.window.event != SDL_WINDOWEVENT_CLOSE) {
    needsRender_ = true;
    return;
  }
  answer = FeedMessageBox(*box_, event, [this](int x, int y) {
    LogicalPoint point = ToLogical(x, y);
    return SDL_Point{point.x, point.y - CurrentLayout().pictureTop};
  });
}

}  // namespace velmio
