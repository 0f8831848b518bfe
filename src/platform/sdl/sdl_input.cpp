// Turning SDL's events into the window's messages: the menu bar takes what falls on it, the
// picture gets the rest in its own 640 x 480 coordinates.
#include <algorithm>

#include "base/program_end.h"
#include "platform/sdl/sdl_platform.h"

namespace velmio {
namespace {

uint32_t MenuToggleCommand(bool fullScreen) { return fullScreen ? 40003 : 40002; }

}  // namespace

void SdlPlatform::TranslateMotion(int windowX, int windowY) {
  LogicalPoint point = ToLogical(windowX, windowY);
  int pictureTop = CurrentLayout().pictureTop;
  bool overMenu = false;
  if (MenuVisible()) {
    uint64_t before = menu_->Version();
    overMenu = menu_->PointerMoved(point.x, point.y).consumed;
    if (menu_->Version() != before) NoteMenuChange();
  }
  int clientX = point.x, clientY = point.y - pictureTop;
  bool overPicture = clientX >= 0 && clientX < kPictureWidth && clientY >= 0 && clientY < kPictureHeight;
  if (overMenu || !overPicture) cursors_->Use(CursorChoice::Arrow);
  // While a popup is open the menu has the pointer to itself.
  if (menu_->PopupOpen()) return;
  if (fullScreen_) {
    // In full screen the picture is everywhere, the bar included: the game decides from the
    // pointer's row when the bar shows.
    clientX = std::clamp(clientX, 0, kPictureWidth - 1);
    clientY = std::clamp(clientY, 0, kPictureHeight - 1);
  } else if (!overPicture) {
    return;
  }
  pointerX_ = clientX;
  pointerY_ = clientY;
  Post(MessageKind::MouseMove, clientX, clientY);
}

void SdlPlatform::TranslateButton(const SDL_MouseButtonEvent& button, bool pressed) {
  if (button.button != SDL_BUTTON_LEFT && button.button != SDL_BUTTON_RIGHT) return;
  bool left = button.button == SDL_BUTTON_LEFT;
  bool& menuOwns = menuOwnsButton_[left ? 0 : 1];
  LogicalPoint point = ToLogical(button.x, button.y);
  int pictureTop = CurrentLayout().pictureTop;
  uint64_t before = menu_->Version();
  bool toMenu = false;
  if (pressed) {
    toMenu = MenuVisible() && (menu_->PopupOpen() || menu_->Covers(point.x, point.y));
    if (toMenu && left) menu_->PointerPressed(point.x, point.y);
    else if (toMenu) menu_->ClosePopup();
  } else {
    // A release belongs to whoever had the press.
    toMenu = menuOwns;
    if (toMenu && left) {
      MenuPointerResult result = menu_->PointerReleased(point.x, point.y);
      if (result.chosen) Post(MessageKind::MenuCommand, 0, 0, *result.chosen);
    }
  }
  menuOwns = pressed && toMenu;
  if (menu_->Version() != before) NoteMenuChange();
  if (toMenu) return;

  int clientX = point.x, clientY = point.y - pictureTop;
  bool overPicture = clientX >= 0 && clientX < kPictureWidth && clientY >= 0 && clientY < kPictureHeight;
  if (!overPicture && !fullScreen_) return;
  clientX = std::clamp(clientX, 0, kPictureWidth - 1);
  clientY = std::clamp(clientY, 0, kPictureHeight - 1);
  MessageKind kind = left ? (pressed ? MessageKind::LeftButtonDown : MessageKind::LeftButtonUp)
                          : (pressed ? MessageKind::RightButtonDown : MessageKind::RightButtonUp);
  pointerX_ = clientX;
  pointerY_ = clientY;
  Post(kind, clientX, clientY);
}

// Keys and the wheel act as the mouse would, where the game last saw the pointer.
void SdlPlatform::PostClickAtPointer(MessageKind down, MessageKind up) {
  Post(down, pointerX_, pointerY_);
  Post(up, pointerX_, pointerY_);
}

void SdlPlatform::MovePointerThroughChoices(ChoiceStep step) {
  std::optional<PointerTarget> target = velmio::StepThroughChoices(choices_, pointerX_, pointerY_, step);
  if (!target) return;
  pointerX_ = target->x;
  pointerY_ = target->y;
  Post(MessageKind::MouseMove, pointerX_, pointerY_);
}

// Ctrl let go while another program or a modal box had the keyboard reports no release here.
void SdlPlatform::ReleaseHeldKeys() {
  if (!controlHeld_) return;
  controlHeld_ = false;
  Post(MessageKind::KeyUp, 0, 0, static_cast<uint32_t>(KeyCode::Control));
}

void SdlPlatform::TranslateKey(const SDL_KeyboardEvent& key) {
  SDL_Keycode code = key.keysym.sym;
  if (menu_->PopupOpen()) {
    if (code == SDLK_ESCAPE) {
      menu_->ClosePopup();
      NoteMenuChange();
    }
    return;
  }
  if ((code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0) {
    if (!key.repeat) Post(MessageKind::MenuCommand, 0, 0, MenuToggleCommand(fullScreen_));
    return;
  }
  if (code == SDLK_F12) {
    if (key.repeat) return;
    std::string name = SaveScreenshot();
    ShowNotice(name.empty() ? "スクリーンショットを保存できませんでした" : "保存しました: " + name);
    return;
  }
  if (code == SDLK_F11) {
    if (!key.repeat) CycleScaling();
    return;
  }
  if (code == SDLK_LCTRL || code == SDLK_RCTRL) {
    if (!controlHeld_) Post(MessageKind::KeyDown, 0, 0, static_cast<uint32_t>(KeyCode::Control));
    controlHeld_ = true;
    return;
  }
  switch (code) {
    case SDLK_ESCAPE:
      PostClickAtPointer(MessageKind::RightButtonDown, MessageKind::RightButtonUp);
      return;
    case SDLK_UP:
    case SDLK_LEFT:
      MovePointerThroughChoices(ChoiceStep::Previous);
      return;
    case SDLK_DOWN:
    case SDLK_RIGHT:
      MovePointerThroughChoices(ChoiceStep::Next);
      return;
    case SDLK_TAB:
      MovePointerThroughChoices((key.keysym.mod & KMOD_SHIFT) != 0 ? ChoiceStep::Previous : ChoiceStep::Next);
      return;
    default:
      break;
  }
  int mouseX = 0, mouseY = 0;
  PointerPosition(mouseX, mouseY);
  if (code == SDLK_SPACE) Post(MessageKind::Character, mouseX, mouseY, ' ');
  else if (code == SDLK_RETURN || code == SDLK_KP_ENTER) Post(MessageKind::Character, mouseX, mouseY, '\r');
  else if (code > ' ' && code < 0x7F) Post(MessageKind::Character, mouseX, mouseY, static_cast<uint32_t>(code));
}

void SdlPlatform::TranslateWheel(const SDL_MouseWheelEvent& wheel) {
  if (menu_->PopupOpen()) return;
  int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
  // Down reads on like a click; up opens the text that went before.
  if (notches < 0) PostClickAtPointer(MessageKind::LeftButtonDown, MessageKind::LeftButtonUp);
  else if (notches > 0) Post(MessageKind::WheelUp, pointerX_, pointerY_);
}

void SdlPlatform::Translate(const SDL_Event& event) {
  if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_KEYDOWN || event.type == SDL_FINGERDOWN)
    audio_.OpenAfterGesture();
  switch (event.type) {
    case SDL_QUIT:
      // Only a signal asks this (closing the window does not): end as after a confirmed close.
      throw ProgramEnd{kExitNormal};
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        Post(MessageKind::Close, 0, 0);
      } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        ReleaseHeldKeys();
        // An open popup does not outlive the player turning to another program.
        if (menu_->PopupOpen()) {
          menu_->ClosePopup();
          menuOwnsButton_[0] = menuOwnsButton_[1] = false;
          NoteMenuChange();
        }
      } else if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
        if (!menu_->PopupOpen()) {
          // Nothing under the pointer is lit any more.
          uint64_t before = menu_->Version();
          menu_->PointerMoved(-1, -1);
          if (menu_->Version() != before) NoteMenuChange();
        }
      } else {
        // Exposed, resized, restored...: draw again from what was presented.
        needsRender_ = true;
        RefreshRealSize();
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !fullScreen_ &&
            (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) == 0) {
          windowWidth_ = event.window.data1;
          windowHeight_ = event.window.data2;
        }
      }
      break;
    case SDL_MOUSEMOTION:
      TranslateMotion(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      TranslateButton(event.button, event.type == SDL_MOUSEBUTTONDOWN);
      break;
    case SDL_KEYDOWN:
      TranslateKey(event.key);
      break;
    case SDL_KEYUP:
      if ((event.key.keysym.sym == SDLK_LCTRL || event.key.keysym.sym == SDLK_RCTRL) &&
          (SDL_GetModState() & KMOD_CTRL) == 0) {
        ReleaseHeldKeys();
      }
      break;
    case SDL_MOUSEWHEEL:
      TranslateWheel(event.wheel);
      break;
    default:
      break;
  }
}

}  // namespace velmio
