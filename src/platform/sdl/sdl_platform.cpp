#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/encoding.h"
#include "platform/game_files.h"
#include "platform/menu_view.h"
#include "platform/program_end.h"
#include "platform/sdl/sdl_message_box.h"
#include "shell/message_queue.h"

namespace velmio {
namespace {

constexpr int kBarHeight = MenuBarWidget::kBarHeight;
constexpr int kWindowHeight = SdlPlatform::kPictureHeight + kBarHeight;

uint32_t MenuToggleCommand(bool fullScreen) { return fullScreen ? 40003 : 40002; }

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

SDL_Renderer* CreateRenderer(SDL_Window* window) {
  // A renderer the player chose (SDL_RENDER_DRIVER) is taken as it is.
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr) return SDL_CreateRenderer(window, -1, 0);
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer != nullptr && !RasterisedInSoftware(renderer)) return renderer;
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

std::unique_ptr<SdlPlatform> SdlPlatform::Open(std::string& error) {
  std::unique_ptr<SdlPlatform> platform(new SdlPlatform());
  if (!platform->Create(error)) return nullptr;
  return platform;
}

bool SdlPlatform::Create(std::string& error) {
  // Closing the window asks the game first; only a signal ends the program without asking.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return false;
  }
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kPictureWidth, kWindowHeight,
                             SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  renderer_ = CreateRenderer(window_);
  if (renderer_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                               kPictureHeight);
  bar_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth, kBarHeight);
  popup_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                             kWindowHeight);
  boxTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                                  kPictureHeight);
  if (picture_ == nullptr || bar_ == nullptr || popup_ == nullptr || boxTexture_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  frame_.assign(static_cast<size_t>(kPictureWidth) * kPictureHeight, 0);
  SDL_UpdateTexture(picture_, nullptr, frame_.data(), kPictureWidth * 4);
  barPixels_.assign(static_cast<size_t>(kPictureWidth) * kBarHeight, 0);
  popupPixels_.assign(static_cast<size_t>(kPictureWidth) * kWindowHeight, 0);
  menu_ = std::make_unique<MenuBarWidget>(kPictureWidth, kWindowHeight);
  cursors_ = std::make_unique<SdlCursors>();
  // Keys arrive as key presses; text input (and an input method popping up) is for dialogs.
  SDL_StopTextInput();
  return true;
}

SdlPlatform::~SdlPlatform() {
  cursors_.reset();
  if (boxTexture_ != nullptr) SDL_DestroyTexture(boxTexture_);
  if (popup_ != nullptr) SDL_DestroyTexture(popup_);
  if (bar_ != nullptr) SDL_DestroyTexture(bar_);
  if (picture_ != nullptr) SDL_DestroyTexture(picture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

SdlPlatform::Layout SdlPlatform::CurrentLayout() const {
  int width = kPictureWidth, height = kWindowHeight;
  SDL_GetWindowSize(window_, &width, &height);
  Layout layout;
  layout.pictureTop = fullScreen_ ? 0 : kBarHeight;
  int logicalHeight = fullScreen_ ? kPictureHeight : kWindowHeight;
  layout.scale = std::min(static_cast<float>(width) / kPictureWidth, static_cast<float>(height) / logicalHeight);
  if (layout.scale <= 0) layout.scale = 1;
  layout.originX = std::floor((width - kPictureWidth * layout.scale) / 2);
  layout.originY = std::floor((height - logicalHeight * layout.scale) / 2);
  return layout;
}

SdlPlatform::LogicalPoint SdlPlatform::ToLogical(int windowX, int windowY) const {
  Layout layout = CurrentLayout();
  return {static_cast<int>(std::floor((windowX - layout.originX) / layout.scale)),
          static_cast<int>(std::floor((windowY - layout.originY) / layout.scale))};
}

void SdlPlatform::NoteMenuChange() { needsRender_ = true; }

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
    Post(MessageKind::MouseMove, std::clamp(clientX, 0, kPictureWidth - 1), std::clamp(clientY, 0, kPictureHeight - 1));
  } else if (overPicture) {
    Post(MessageKind::MouseMove, clientX, clientY);
  }
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
  Post(kind, clientX, clientY);
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
    if (!key.repeat) SaveScreenshot();
    return;
  }
  int mouseX = 0, mouseY = 0;
  PointerPosition(mouseX, mouseY);
  if (code == SDLK_SPACE) Post(MessageKind::Character, mouseX, mouseY, ' ');
  else if (code == SDLK_RETURN || code == SDLK_KP_ENTER) Post(MessageKind::Character, mouseX, mouseY, '\r');
  else if (code == SDLK_ESCAPE) Post(MessageKind::Character, mouseX, mouseY, 27);
  else if (code > ' ' && code < 0x7F) Post(MessageKind::Character, mouseX, mouseY, static_cast<uint32_t>(code));
}

void SdlPlatform::Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      // Only a signal asks this (closing the window does not): end as after a confirmed close.
      throw ProgramEnd{kExitNormal};
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        Post(MessageKind::Close, 0, 0);
      } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
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
    default:
      break;
  }
}

void SdlPlatform::CollectEvents(MessageQueue& queue) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
  cursors_->Animate(Milliseconds());
  RenderIfNeeded();
  while (!pending_.empty()) {
    queue.Post(pending_.front());
    pending_.pop_front();
  }
}

void SdlPlatform::Idle(uint32_t timeout, WaitKind kind) {
  RenderIfNeeded();
  if (!pending_.empty()) return;
  uint32_t wait = cursors_->TimeToNextFrame(Milliseconds(), timeout);
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<uint32_t>(wait, 1)))) Translate(event);
}

MessageBoxAnswer SdlPlatform::ShowMessageBox(std::string_view text, std::string_view title, MessageBoxStyle style) {
  RenderIfNeeded();
  menu_->ClosePopup();
  MessageBoxAnswer answer = MessageBoxAnswer::Ok;
  if (!ShowSdlMessageBox(shown_ ? window_ : nullptr, text, title, style, answer))
    answer = ShowDrawnMessageBox(ShiftJisToUtf8(text), ShiftJisToUtf8(title), style);
  // The clicks that answered the box are not the game's.
  menuOwnsButton_[0] = menuOwnsButton_[1] = false;
  needsRender_ = true;
  return answer;
}

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
  if (quitting) {
    // The signal still ends the program once the box is gone.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
  return *answer;
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

void SdlPlatform::Present(const uint8_t* pixels, int stride, const ScreenArea& area) {
  int left = std::max(area.left, 0), top = std::max(area.top, 0);
  int right = std::min(area.left + area.width, kPictureWidth);
  int bottom = std::min(area.top + area.height, kPictureHeight);
  if (pixels == nullptr || left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y) {
    const uint8_t* source = pixels + static_cast<ptrdiff_t>(kPictureHeight - 1 - y) * stride + left * 3;
    uint32_t* target = frame_.data() + static_cast<size_t>(y) * kPictureWidth + left;
    for (int x = left; x < right; ++x, source += 3)
      *target++ = static_cast<uint32_t>(source[2]) << 16 | static_cast<uint32_t>(source[1]) << 8 | source[0];
  }
  SDL_Rect rect{left, top, right - left, bottom - top};
  SDL_UpdateTexture(picture_, &rect, frame_.data() + static_cast<size_t>(top) * kPictureWidth + left,
                    kPictureWidth * 4);
  needsRender_ = true;
}

void SdlPlatform::SetWindowTitle(std::string_view title) { SDL_SetWindowTitle(window_, ShiftJisToUtf8(title).c_str()); }

void SdlPlatform::ShowWindow() {
  if (!shown_) {
    SDL_ShowWindow(window_);
    shown_ = true;
  }
  needsRender_ = true;
  RenderIfNeeded();
}

void SdlPlatform::SetMenuBar(const MenuBarView& menu) {
  menu_->SetView(menu);
  NoteMenuChange();
}

void SdlPlatform::SetMenuBarState(MenuBarState state) {
  menuAttached_ = state == MenuBarState::Attached;
  if (!menuAttached_) menu_->ClosePopup();
  NoteMenuChange();
}

bool SdlPlatform::SetScreenMode(ScreenMode mode) {
  bool wantFull = mode == ScreenMode::FullScreen;
  if (wantFull == fullScreen_) return true;
  if (wantFull) SDL_GetWindowPosition(window_, &windowX_, &windowY_);
  if (SDL_SetWindowFullscreen(window_, wantFull ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  fullScreen_ = wantFull;
  menu_->SetPopupAreaHeight(wantFull ? kPictureHeight : kWindowHeight);
  if (!wantFull) {
    SDL_SetWindowSize(window_, kPictureWidth, kWindowHeight);
    SDL_SetWindowPosition(window_, windowX_, windowY_);
  }
  needsRender_ = true;
  RenderIfNeeded();
  return true;
}

bool SdlPlatform::SetCustomCursor(const CursorImage* image) { return cursors_->SetCustom(image, Milliseconds()); }

void SdlPlatform::UseCursor(CursorChoice choice) { cursors_->Use(choice); }

bool SdlPlatform::PointerPosition(int& x, int& y) {
  if (SDL_GetMouseFocus() != window_) return false;
  int windowX = 0, windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  LogicalPoint point = ToLogical(windowX, windowY);
  x = point.x;
  y = point.y - CurrentLayout().pictureTop;
  return true;
}

void SdlPlatform::RenderIfNeeded() {
  if (needsRender_ && shown_) Render();
}

void SdlPlatform::Render() {
  needsRender_ = false;
  Layout layout = CurrentLayout();
  float scale = layout.scale;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_FRect picture{layout.originX, layout.originY + layout.pictureTop * scale, kPictureWidth * scale,
                    kPictureHeight * scale};
  SDL_RenderCopyF(renderer_, picture_, nullptr, &picture);
  if (MenuVisible()) {
    if (barVersionShown_ != menu_->Version()) {
      menu_->PaintBar(barPixels_.data(), kPictureWidth);
      SDL_UpdateTexture(bar_, nullptr, barPixels_.data(), kPictureWidth * 4);
      barVersionShown_ = menu_->Version();
      WidgetRect popup = menu_->PopupRect();
      if (menu_->PopupOpen() && popup.width > 0 && popup.height > 0) {
        menu_->PaintPopup(popupPixels_.data(), kPictureWidth);
        SDL_Rect area{0, 0, std::min(popup.width, kPictureWidth), std::min(popup.height, kWindowHeight)};
        SDL_UpdateTexture(popup_, &area, popupPixels_.data(), kPictureWidth * 4);
      }
    }
    SDL_FRect bar{layout.originX, layout.originY, kPictureWidth * scale, kBarHeight * scale};
    SDL_RenderCopyF(renderer_, bar_, nullptr, &bar);
    WidgetRect popup = menu_->PopupRect();
    if (menu_->PopupOpen() && popup.width > 0 && popup.height > 0) {
      SDL_Rect source{0, 0, std::min(popup.width, kPictureWidth), std::min(popup.height, kWindowHeight)};
      SDL_FRect target{layout.originX + popup.left * scale, layout.originY + popup.top * scale, source.w * scale,
                       source.h * scale};
      SDL_RenderCopyF(renderer_, popup_, &source, &target);
    }
  }
  if (box_) {
    WidgetRect area = box_->Rect();
    SDL_Rect source{0, 0, std::min(area.width, kPictureWidth), std::min(area.height, kPictureHeight)};
    if (boxVersionShown_ != box_->Version()) {
      boxPixels_.assign(static_cast<size_t>(source.w) * source.h, 0);
      box_->Paint(boxPixels_.data(), source.w);
      SDL_UpdateTexture(boxTexture_, &source, boxPixels_.data(), source.w * 4);
      boxVersionShown_ = box_->Version();
    }
    SDL_FRect target{layout.originX + area.left * scale, layout.originY + (layout.pictureTop + area.top) * scale,
                     source.w * scale, source.h * scale};
    SDL_RenderCopyF(renderer_, boxTexture_, &source, &target);
  }
  SDL_RenderPresent(renderer_);
}

// F12: the picture goes beside the game (or to its data folder when the game is read-only),
// named after the moment it was taken.
void SdlPlatform::SaveScreenshot() {
  if (!screenshotWriter_) return;
  std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
  for (int attempt = 1; attempt < 100; ++attempt) {
    std::string name = std::string("screenshot-") + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".png";
    std::string path = PathForNewGameFile(name);
    if (path.empty()) return;
    if (access(path.c_str(), F_OK) != 0) {
      screenshotWriter_(path);
      return;
    }
  }
}

}  // namespace velmio
