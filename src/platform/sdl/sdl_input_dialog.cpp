#include <SDL.h>

#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_platform.h"

namespace velmio {
namespace {

std::optional<EditKey> EditKeyOf(SDL_Keycode key) {
  switch (key) {
    case SDLK_BACKSPACE:
      return EditKey::Backspace;
    case SDLK_DELETE:
      return EditKey::Delete;
    case SDLK_LEFT:
      return EditKey::Left;
    case SDLK_RIGHT:
      return EditKey::Right;
    case SDLK_HOME:
      return EditKey::Home;
    case SDLK_END:
      return EditKey::End;
    default:
      return std::nullopt;
  }
}

}  // namespace

// The dialog stays on the picture from the first question until the engine accepts an answer:
// a refused answer comes back to the same box with what was typed, as in a real dialog. The
// desktop's input method composes through SDL's text input, so Japanese can be typed; there is
// no cancel, and Escape does nothing. The box is modal: a close asked for meanwhile ends the
// program once the box has gone.
bool SdlPlatform::TakeDialogText(const DialogLabels& labels, std::string& text) {
  if (!shown_) ShowWindow();
  if (!dialog_) {
    dialog_ = std::make_unique<InputDialogWidget>(kPictureWidth, kPictureHeight, labels);
    dialogVersionShown_ = 0;
  }
  bool answered = false;
  SDL_StartTextInput();
  while (!answered) {
    // The input method shows its candidates beside the caret.
    const Layout layout = CurrentLayout();
    const WidgetRect caret = dialog_->CaretRect();
    SDL_Rect caretArea{static_cast<int>(layout.originX + caret.left * layout.scale),
                       static_cast<int>(layout.originY + (layout.pictureTop + caret.top) * layout.scale), 1,
                       static_cast<int>(caret.height * layout.scale)};
    SDL_SetTextInputRect(&caretArea);
    if (dialog_->Version() != dialogVersionShown_) needsRender_ = true;
    RenderIfNeeded();
    SDL_Event event;
    if (!WaitForEvent(event)) {
      SDL_Delay(10);  // SDL's error: not a hot loop meanwhile (a page never gets here)
      continue;
    }
    switch (event.type) {
      case SDL_QUIT:
        quitAfterDialog_ = true;
        break;
      case SDL_TEXTINPUT:
        dialog_->Insert(event.text.text);
        break;
      case SDL_TEXTEDITING:
        dialog_->Compose(event.edit.text);
        break;
      case SDL_KEYDOWN: {
        const SDL_Keycode key = event.key.keysym.sym;
        if (std::optional<EditKey> edit = EditKeyOf(key)) {
          dialog_->Edit(*edit);
        } else if (key == SDLK_v && (event.key.keysym.mod & KMOD_CTRL) != 0) {
          if (char* clipboard = SDL_GetClipboardText()) {
            dialog_->Insert(clipboard);
            SDL_free(clipboard);
          }
        } else if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
          answered = true;
        }
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT) break;
        LogicalPoint point = ToLogical(event.button.x, event.button.y);
        point.y -= CurrentLayout().pictureTop;
        if (event.type == SDL_MOUSEBUTTONDOWN) dialog_->PointerPressed(point.x, point.y);
        else answered = dialog_->PointerReleased(point.x, point.y);
        break;
      }
      case SDL_WINDOWEVENT:
        needsRender_ = true;
        break;
      default:
        break;
    }
  }
  SDL_StopTextInput();
  text = dialog_->Text();
  return true;
}

void SdlPlatform::CloseDialog() {
  dialog_.reset();
  needsRender_ = true;
  RenderIfNeeded();
  if (quitAfterDialog_) RepostQuit();
  quitAfterDialog_ = false;
}

void SdlPlatform::RenderDialog(float originX, float originY, float scale) {
  if (!dialog_) return;
  const WidgetRect area = dialog_->Rect();
  SDL_Rect source{0, 0, std::min(area.width, kPictureWidth), std::min(area.height, kPictureHeight)};
  if (dialogTexture_ == nullptr) {
    dialogTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                                       kPictureHeight);
    if (dialogTexture_ == nullptr) return;
    dialogVersionShown_ = 0;
  }
  if (dialogVersionShown_ != dialog_->Version()) {
    dialogPixels_.assign(static_cast<size_t>(source.w) * source.h, 0);
    dialog_->Paint(dialogPixels_.data(), source.w);
    SDL_UpdateTexture(dialogTexture_, &source, dialogPixels_.data(), source.w * 4);
    dialogVersionShown_ = dialog_->Version();
  }
  SDL_FRect target{originX + area.left * scale, originY + area.top * scale, source.w * scale, source.h * scale};
  SDL_RenderCopyF(renderer_, dialogTexture_, &source, &target);
}

}  // namespace velmio
