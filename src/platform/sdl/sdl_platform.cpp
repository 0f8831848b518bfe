#include "platform/sdl/sdl_platform.h"

#include <SDL_image.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/encoding.h"
#include "files/game_files.h"
#include "platform/menu_view.h"
#include "platform/message_queue.h"
#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_renderer.h"
#include "platform/sdl/window_icon.h"

#ifdef __EMSCRIPTEN__
// Sleeps until `milliseconds` have passed (0: just lets the browser run) or the player moves,
// clicks, types or touches, so that input is answered at once and a waiting game wakes only when
// something is due. The listeners are set once and passive: adding and removing them at each
// sleep made the browser redo its event regions every time. The engine resumes from a message
// posted after the timer or the input event (SDL's own handlers have queued the event by then),
// never from the timer's own callback: a timer set from inside a timer's callback, five deep,
// waits at least 4 ms, which made every step of an effect 4 ms late and a 1.5 s fade last 2 s.
EM_ASYNC_JS(void, SleepUntilInputOrTimeout, (int milliseconds), {
  if (!Module.velmioWake) {
    const channel = new MessageChannel();
    Module.velmioWake = {finish: null, resume: null, post: () => channel.port2.postMessage(0)};
    channel.port1.onmessage = () => {
      const resume = Module.velmioWake.resume;
      Module.velmioWake.resume = null;
      if (resume) resume();
    };
    const wake = () => {
      const finish = Module.velmioWake.finish;
      if (finish) finish();
    };
    ['mousedown', 'mouseup', 'mousemove', 'wheel', 'keydown', 'keyup', 'touchstart', 'touchmove', 'touchend'].forEach(
        (kind) => window.addEventListener(kind, wake, {capture: true, passive: true}));
  }
  await new Promise((resolve) => {
    const resumeByMessage = () => {
      Module.velmioWake.resume = resolve;
      Module.velmioWake.post();
    };
    if (milliseconds <= 0) return resumeByMessage();
    const finish = () => {
      clearTimeout(timer);
      Module.velmioWake.finish = null;
      resumeByMessage();
    };
    const timer = setTimeout(finish, milliseconds);
    Module.velmioWake.finish = finish;
  });
});
#endif

namespace velmio {
namespace {

constexpr int kBarHeight = MenuBarWidget::kBarHeight;
constexpr int kWindowHeight = SdlPlatform::kPictureHeight + kBarHeight;
// How long a window manager has to grant full screen before we make it ourselves.
constexpr uint32_t kFullScreenGrantTime = 400;
#ifdef __EMSCRIPTEN__
// The longest sleep of a wait in a page: input ends a sleep at once, and the page's other news
// (a resize, the focus) waits at most this long.
constexpr uint32_t kBrowserSleepMs = 250;
#endif

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
  SDL_SetHint(SDL_HINT_APP_NAME, "Velmio");
  // The desktop finds the launcher of a window by its class (X11) or application id (Wayland),
  // which SDL reads from these variables; one the player has set is kept.
  setenv("SDL_VIDEO_X11_WMCLASS", kApplicationId, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kApplicationId, 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return false;
  }
  // Where no display answers, SDL falls back to drivers that draw nowhere: the game would wait
  // for clicks on a window nobody can see. Those drivers are used only when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
      (requested == nullptr || SDL_strcasecmp(requested, driver) != 0)) {
    error = "no display to show it on";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  settings_ = LoadWindowSettings();
#ifdef __EMSCRIPTEN__
  // In a page the canvas keeps the frame's own size and the page scales it, smoothed by the
  // browser's compositor: a frame costs the same in a small tab and in full screen. Drawn by
  // SDL's software renderer into a 2D canvas, a frame that only moves the click cursor costs a
  // small fraction of what WebGL costs where the browser rasterises WebGL in software.
  windowWidth_ = kPictureWidth;
  windowHeight_ = kWindowHeight;
  constexpr Uint32 kWindowFlags = SDL_WINDOW_HIDDEN;
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  // SDL would yield after each frame through a timer, which the browser delays by 4 ms once
  // timers nest: RenderIfNeeded yields instead. Off, SDL's waits and delays spin without
  // yielding, so nothing here calls them (WaitForEvent).
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
#else
  ChooseStartSize(windowWidth_, windowHeight_);
  constexpr Uint32 kWindowFlags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
#endif
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth_, windowHeight_,
                             kWindowFlags);
  if (window_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kPictureWidth / 2, kWindowHeight / 2);
  if (SDL_Surface* icon = IMG_Load_RW(SDL_RWFromConstMem(kWindowIconPng, sizeof(kWindowIconPng)), 1)) {
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
  }
  renderer_ = CreateRenderer(window_);
  if (renderer_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  SDL_RendererInfo rendererInfo;
  softwareRenderer_ = SDL_GetRendererInfo(renderer_, &rendererInfo) == 0 &&
                      (rendererInfo.flags & SDL_RENDERER_SOFTWARE) != 0;
  const uint32_t pictureFormat = PictureFormat();
  if (pictureFormat != SDL_PIXELFORMAT_RGB888) std::swap(redShift_, blueShift_);
  picture_ = SDL_CreateTexture(renderer_, pictureFormat, SDL_TEXTUREACCESS_STREAMING, kPictureWidth, kPictureHeight);
  bar_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth, kBarHeight);
  popup_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                             kWindowHeight);
  boxTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                                  kPictureHeight);
  skipTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                                   NoticePainter::kHeight);
  noticeTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureWidth,
                                     NoticePainter::kHeight);
  if (picture_ == nullptr || bar_ == nullptr || popup_ == nullptr || boxTexture_ == nullptr ||
      skipTexture_ == nullptr || noticeTexture_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  SDL_SetTextureBlendMode(picture_, SDL_BLENDMODE_NONE);
  frame_.assign(static_cast<size_t>(kPictureWidth) * kPictureHeight, 0);
  SDL_UpdateTexture(picture_, nullptr, frame_.data(), kPictureWidth * 4);
  barPixels_.assign(static_cast<size_t>(kPictureWidth) * kBarHeight, 0);
  popupPixels_.assign(static_cast<size_t>(kPictureWidth) * kWindowHeight, 0);
  menu_ = std::make_unique<MenuBarWidget>(kPictureWidth, kWindowHeight);
  notices_ = std::make_unique<NoticePainter>();
  std::vector<uint32_t> mark(static_cast<size_t>(kPictureWidth) * NoticePainter::kHeight, 0);
  skipWidth_ = notices_->Paint("≫ スキップ中", mark.data(), kPictureWidth, kPictureWidth);
  SDL_UpdateTexture(skipTexture_, nullptr, mark.data(), kPictureWidth * 4);
  SDL_SetTextureBlendMode(skipTexture_, SDL_BLENDMODE_BLEND);
  SDL_SetTextureBlendMode(noticeTexture_, SDL_BLENDMODE_BLEND);
  cursors_ = std::make_unique<SdlCursors>();
  // Keys arrive as key presses; text input (and an input method popping up) is for dialogs.
  SDL_StopTextInput();
  return true;
}

SdlPlatform::~SdlPlatform() {
  audio_.Close();
  cursors_.reset();
  // Only a window the player saw leaves its size for the next start.
  if (shown_) {
    settings_.width = windowWidth_;
    settings_.height = windowHeight_;
    SaveWindowSettings(settings_);
  }
  if (noticeTexture_ != nullptr) SDL_DestroyTexture(noticeTexture_);
  if (skipTexture_ != nullptr) SDL_DestroyTexture(skipTexture_);
  if (boxTexture_ != nullptr) SDL_DestroyTexture(boxTexture_);
  if (dialogTexture_ != nullptr) SDL_DestroyTexture(dialogTexture_);
  if (popup_ != nullptr) SDL_DestroyTexture(popup_);
  if (bar_ != nullptr) SDL_DestroyTexture(bar_);
  if (picture_ != nullptr) SDL_DestroyTexture(picture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

void SdlPlatform::NoteMenuChange() { needsRender_ = true; }

void SdlPlatform::CollectEvents(MessageQueue& queue) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
  // Ctrl let go while a modal box had the keyboard.
  if ((SDL_GetModState() & KMOD_CTRL) == 0) ReleaseHeldKeys();
  cursors_->Animate(Milliseconds());
  RenderIfNeeded();
  while (!pending_.empty()) {
    queue.Post(pending_.front());
    pending_.pop_front();
  }
}

bool WaitForEvent(SDL_Event& event) {
#ifdef __EMSCRIPTEN__
  while (!SDL_PollEvent(&event)) SleepUntilInputOrTimeout(kBrowserSleepMs);
  return true;
#else
  return SDL_WaitEvent(&event) != 0;
#endif
}

void SdlPlatform::Idle(uint32_t timeout, WaitKind kind) {
  RenderIfNeeded();
  if (!pending_.empty()) return;
  uint32_t wait = cursors_->TimeToNextFrame(Milliseconds(), timeout);
  if (noticeShown_) wait = std::min(wait, std::max<uint32_t>(noticeUntil_ - Milliseconds(), 1));
  if (fullScreenCheckPending_) wait = std::min(wait, std::max<uint32_t>(fullScreenCheckAt_ - Milliseconds(), 1));
  SDL_Event event;
#ifdef __EMSCRIPTEN__
  // A page has no thread to block: the wait hands the browser back its loop (Asyncify unwinds
  // to it), waking for input or the next thing due.
  if (SDL_PollEvent(&event)) {
    Translate(event);
    return;
  }
  SleepUntilInputOrTimeout(static_cast<int>(std::clamp<uint32_t>(wait, 1, kBrowserSleepMs)));
#else
  if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<uint32_t>(wait, 1)))) Translate(event);
#endif
}

MessageBoxAnswer SdlPlatform::ShowMessageBox(std::string_view text, std::string_view title, MessageBoxStyle style) {
  RenderIfNeeded();
  menu_->ClosePopup();
  // Before the game window shows (an error in the definition block), the box comes alone.
  MessageBoxAnswer answer = shown_ ? ShowDrawnMessageBox(ShiftJisToUtf8(text), ShiftJisToUtf8(title), style)
                                   : ShowMessageBoxWindow(text, title, style);
  // The clicks that answered the box are not the game's.
  menuOwnsButton_[0] = menuOwnsButton_[1] = false;
  needsRender_ = true;
  return answer;
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
      *target++ = 0xff000000u | static_cast<uint32_t>(source[2]) << redShift_ |
                  static_cast<uint32_t>(source[1]) << 8 | static_cast<uint32_t>(source[0]) << blueShift_;
  }
  SDL_Rect rect{left, top, right - left, bottom - top};
  SDL_UpdateTexture(picture_, &rect, frame_.data() + static_cast<size_t>(top) * kPictureWidth + left,
                    kPictureWidth * 4);
  if (SDL_RectEmpty(&pictureChange_)) pictureChange_ = rect;
  else SDL_UnionRect(&pictureChange_, &rect, &pictureChange_);
}

void SdlPlatform::SetWindowTitle(std::string_view title) { SDL_SetWindowTitle(window_, ShiftJisToUtf8(title).c_str()); }

void SdlPlatform::ShowWindow() {
  if (!shown_) {
    SDL_ShowWindow(window_);
    shown_ = true;
    RefreshRealSize();
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
  fullScreenCheckPending_ = wantFull;
  fullScreenCheckAt_ = Milliseconds() + kFullScreenGrantTime;
  if (!wantFull && fullScreenByHand_) {
    fullScreenByHand_ = false;
    SDL_SetWindowBordered(window_, SDL_TRUE);
  }
  menu_->SetPopupAreaHeight(wantFull ? kPictureHeight : kWindowHeight);
  if (!wantFull) {
    SDL_SetWindowSize(window_, windowWidth_, windowHeight_);
    SDL_SetWindowPosition(window_, windowX_, windowY_);
  }
  RefreshRealSize();
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
  if (fullScreenCheckPending_ && static_cast<int32_t>(Milliseconds() - fullScreenCheckAt_) >= 0)
    CheckFullScreenGranted();
  if (noticeShown_ && static_cast<int32_t>(Milliseconds() - noticeUntil_) >= 0) {
    noticeShown_ = false;
    needsRender_ = true;
  }
  if ((needsRender_ || !SDL_RectEmpty(&pictureChange_)) && shown_) {
    Render();
#ifdef __EMSCRIPTEN__
    // The canvas shows the frame once the browser has its loop back, which a run of steps that
    // never wait (a slow machine's effect, skipping) would not give it otherwise.
    SleepUntilInputOrTimeout(0);
#endif
  }
}

// A software renderer copies a texture in its window's own format, where any other costs a
// conversion of every pixel of every frame; a page's canvas wants red first.
uint32_t SdlPlatform::PictureFormat() const {
  if (!softwareRenderer_) return SDL_PIXELFORMAT_RGB888;
  const SDL_Surface* surface = SDL_GetWindowSurface(window_);
  const uint32_t windowFormat = surface != nullptr ? surface->format->format : 0;
  if (windowFormat == SDL_PIXELFORMAT_ABGR8888 || windowFormat == SDL_PIXELFORMAT_BGR888) return windowFormat;
  return SDL_PIXELFORMAT_RGB888;
}

// Then clearing first would only cost a pass over every pixel, which a software renderer pays
// in every frame.
bool SdlPlatform::PictureAndBarCoverOutput(const Layout& layout) const {
  const bool barDrawn = layout.pictureTop == 0 || MenuVisible();
  return barDrawn && layout.originX <= 0 && layout.originY <= 0 && kPictureWidth * layout.scale >= layout.outputWidth &&
         (layout.pictureTop + kPictureHeight) * layout.scale >= layout.outputHeight;
}

void SdlPlatform::Render() {
  const bool wholeWindow = needsRender_;
  const SDL_Rect pictureChange = pictureChange_;
  needsRender_ = false;
  pictureChange_ = SDL_Rect{0, 0, 0, 0};
  Layout layout = CurrentLayout();
  float scale = layout.scale;
  // Whole multiples stay sharp; anything between is smoothed.
  SDL_ScaleMode quality = scale == std::floor(scale) ? SDL_ScaleModeNearest : SDL_ScaleModeLinear;
  for (SDL_Texture* texture : {picture_, bar_, popup_, boxTexture_, skipTexture_, noticeTexture_})
    SDL_SetTextureScaleMode(texture, quality);
  if (!PictureAndBarCoverOutput(layout)) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  SDL_FRect picture{layout.originX, layout.originY + layout.pictureTop * scale, kPictureWidth * scale,
                    kPictureHeight * scale};
  SDL_RenderCopyF(renderer_, picture_, nullptr, &picture);
  RenderNotices(layout);
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
  RenderDialog(layout.originX, layout.originY + layout.pictureTop * scale, scale);
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
  if (wholeWindow || !softwareRenderer_) {
    SDL_RenderPresent(renderer_);
    return;
  }
  // Only the picture changed (a click cursor's cell, a typed character): a software renderer's
  // frame is in the window's own pixels, and only the part that changed goes to the screen.
  // One pixel more on each side covers what smoothing a scaled picture spreads.
  SDL_Rect changed{static_cast<int>(std::floor(layout.originX + pictureChange.x * scale)) - 1,
                   static_cast<int>(std::floor(layout.originY + (layout.pictureTop + pictureChange.y) * scale)) - 1,
                   static_cast<int>(std::ceil(pictureChange.w * scale)) + 3,
                   static_cast<int>(std::ceil(pictureChange.h * scale)) + 3};
  const SDL_Rect output{0, 0, layout.outputWidth, layout.outputHeight};
  SDL_RenderFlush(renderer_);
  if (SDL_IntersectRect(&changed, &output, &changed)) SDL_UpdateWindowSurfaceRects(window_, &changed, 1);
}

// F12: the picture goes beside the game (or to its data folder when the game is read-only),
// named after the moment it was taken.
std::string SdlPlatform::SaveScreenshot() {
  if (!screenshotWriter_) return {};
  std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
  for (int attempt = 1; attempt < 100; ++attempt) {
    std::string name = std::string("screenshot-") + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".png";
    std::string path = PathForNewGameFile(name);
    if (path.empty()) return {};
    if (access(path.c_str(), F_OK) != 0) {
      screenshotWriter_(path);
      return access(path.c_str(), F_OK) == 0 ? name : std::string();
    }
  }
  return {};
}

}  // namespace velmio
