#include <SDL.h>

#include "platform/sdl/sdl_platform.h"

namespace velmio {
namespace {

// Removes the last UTF-8 character.
void EraseLastCharacter(std::string& text) {
  while (!text.empty()) {
    const unsigned char last = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((last & 0xC0) != 0x80) break;
  }
}

}  // namespace

// A box over the picture that shows what has been typed; Enter or its button gives the answer to
// the engine, which checks it and asks again when it is refused. The desktop's input method
// composes through SDL's text input, so Japanese can be typed.
bool SdlPlatform::TakeDialogText(std::string& text) {
  if (!shown_) ShowWindow();
  std::string typed;
  bool answered = false;
  bool quitting = false;
  SDL_StartTextInput();
  while (!answered) {
    box_ = std::make_unique<MessageBoxWidget>(kPictureWidth, kPictureHeight, "入力",
                                              "入力して Enter を押してください。\n" + typed + "_",
                                              MessageBoxStyle::Ok);
    boxVersionShown_ = 0;
    needsRender_ = true;
    RenderIfNeeded();
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0) break;
    std::optional<MessageBoxAnswer> answer;
    switch (event.type) {
      case SDL_QUIT:
        quitting = true;
        answered = true;
        break;
      case SDL_TEXTINPUT:
        typed += event.text.text;
        break;
      case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_BACKSPACE) {
          EraseLastCharacter(typed);
        } else if (event.key.keysym.sym == SDLK_v && (event.key.keysym.mod & KMOD_CTRL) != 0) {
          if (char* clipboard = SDL_GetClipboardText()) {
            typed += clipboard;
            SDL_free(clipboard);
          }
        } else if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER) {
          answered = true;
        }
        break;
      default:
        TranslateForBox(event, answer);
        if (answer) answered = true;
        break;
    }
  }
  SDL_StopTextInput();
  box_.reset();
  needsRender_ = true;
  RenderIfNeeded();
  if (quitting) RepostQuit();
  text = typed;
  return true;
}

}  // namespace velmio
