#include "platform/sdl/sdl_platform.h"

namespace velmio {

// The desktop could not show the box: draw it over the picture and wait for its answer here.
// Nothing else reaches the game meanwhile, as with any modal box.
MessageBoxAnswer SdlPlatform::ShowDrawnMessageBox(const std::string& text, const std::string& title,
                                                  MessageBoxStyle style) {
  if (!shown_) ShowWindow();
  box_ = std::make_unique<MessageBoxWidget>(kPictureWidth, kPictureHeight, title, text, style);
  boxVersionShown_ = 0;
  needsRender_ = true;
  std::optional<MessageBoxAnswer> answer;
  bool quitting = false;
  while (!answer) {
    RenderIfNeeded();
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0) {
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
  auto boxPoint = [this](int x, int y) {
    LogicalPoint point = ToLogical(x, y);
    point.y -= CurrentLayout().pictureTop;
    return point;
  };
  switch (event.type) {
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) answer = box_->DismissAnswer();
      else needsRender_ = true;
      break;
    case SDL_MOUSEMOTION: {
      LogicalPoint point = boxPoint(event.motion.x, event.motion.y);
      box_->PointerMoved(point.x, point.y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) break;
      LogicalPoint point = boxPoint(event.button.x, event.button.y);
      if (event.type == SDL_MOUSEBUTTONDOWN) box_->PointerPressed(point.x, point.y);
      else answer = box_->PointerReleased(point.x, point.y);
      break;
    }
    case SDL_KEYDOWN:
      switch (event.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
          answer = box_->KeyPressed(MessageBoxKey::Enter);
          break;
        case SDLK_ESCAPE:
          answer = box_->KeyPressed(MessageBoxKey::Escape);
          break;
        case SDLK_LEFT:
          box_->KeyPressed(MessageBoxKey::Left);
          break;
        case SDLK_RIGHT:
          box_->KeyPressed(MessageBoxKey::Right);
          break;
        case SDLK_TAB:
          box_->KeyPressed(MessageBoxKey::Tab);
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

}  // namespace velmio
