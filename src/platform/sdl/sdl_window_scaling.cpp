// Where the picture goes in a window of any size, how pointer positions come back from it, and
// the labels laid over it.
#include <algorithm>
#include <cmath>

#include <SDL_syswm.h>

#include "platform/sdl/sdl_platform.h"

namespace velmio {
namespace {

constexpr int kWindowHeight = SdlPlatform::kPictureHeight + MenuBarWidget::kBarHeight;
constexpr uint32_t kNoticeDuration = 2500;
constexpr int kNoticeMargin = 4;

const char* ScalingName(PictureScaling scaling) {
  switch (scaling) {
    case PictureScaling::Fit:
      return "表示: ウィンドウに合わせる";
    case PictureScaling::Integer:
      return "表示: 整数倍";
    case PictureScaling::Single:
      return "表示: 等倍";
  }
  return "";
}

}  // namespace

void SdlPlatform::ChooseStartSize(int& width, int& height) const {
  SDL_Rect usable{0, 0, 0, 0};
  bool known = SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0;
  if (settings_.width > 0 && settings_.height > 0) {
    width = settings_.width;
    height = settings_.height;
    if (known) {
      width = std::min(width, usable.w);
      height = std::min(height, usable.h);
    }
    width = std::max(width, kPictureWidth / 2);
    height = std::max(height, kWindowHeight / 2);
    return;
  }
  int multiple = 1;
  while (known && multiple < settings_.largestStartScale && kPictureWidth * (multiple + 1) <= usable.w &&
         kWindowHeight * (multiple + 1) <= usable.h) {
    ++multiple;
  }
  width = kPictureWidth * multiple;
  height = kWindowHeight * multiple;
}

// Laid out from what the renderer really draws on, which is the window as it is (a full screen
// request the desktop ignored leaves it small) and, on a high-density display, more pixels than
// the window's size says.
SdlPlatform::Layout SdlPlatform::CurrentLayout() const {
  int width = 0, height = 0;
  if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0 || width <= 0 || height <= 0)
    SDL_GetWindowSize(window_, &width, &height);
  Layout layout;
  layout.outputWidth = width;
  layout.outputHeight = height;
  if (realSizeKnown_) {
    width = std::min(width, realWidth_);
    height = std::min(height, realHeight_);
  }
  layout.pictureTop = fullScreen_ ? 0 : MenuBarWidget::kBarHeight;
  int logicalHeight = fullScreen_ ? kPictureHeight : kWindowHeight;
  float fit = std::min(static_cast<float>(width) / kPictureWidth, static_cast<float>(height) / logicalHeight);
  if (fit <= 0) fit = 1;
  switch (settings_.scaling) {
    case PictureScaling::Fit:
      layout.scale = fit;
      break;
    case PictureScaling::Integer:
      layout.scale = fit >= 1 ? std::floor(fit) : fit;
      break;
    case PictureScaling::Single:
      layout.scale = std::min(fit, 1.0f);
      break;
  }
  layout.originX = std::floor((width - kPictureWidth * layout.scale) / 2);
  layout.originY = std::floor((height - logicalHeight * layout.scale) / 2);
  return layout;
}

void SdlPlatform::RefreshRealSize() {
  realSizeKnown_ = false;
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return;
  // SDL has the X library loaded already; its functions are taken from there rather than
  // linking the program to it.
  using GetAttributes = int (*)(Display*, Window, XWindowAttributes*);
  static GetAttributes getAttributes = [] {
    void* library = SDL_LoadObject("libX11.so.6");
    return library ? reinterpret_cast<GetAttributes>(SDL_LoadFunction(library, "XGetWindowAttributes")) : nullptr;
  }();
  XWindowAttributes attributes;
  if (getAttributes == nullptr || getAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0) return;
  realSizeKnown_ = attributes.width > 0 && attributes.height > 0;
  realWidth_ = attributes.width;
  realHeight_ = attributes.height;
#endif
}

void SdlPlatform::CheckFullScreenGranted() {
  fullScreenCheckPending_ = false;
  RefreshRealSize();
  SDL_Rect bounds;
  if (!fullScreen_ || !realSizeKnown_ || SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &bounds) != 0)
    return;
  if (realWidth_ >= bounds.w && realHeight_ >= bounds.h) return;
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowBordered(window_, SDL_FALSE);
  SDL_SetWindowPosition(window_, bounds.x, bounds.y);
  SDL_SetWindowSize(window_, bounds.w, bounds.h);
  SDL_RaiseWindow(window_);
  fullScreenByHand_ = true;
  RefreshRealSize();
  needsRender_ = true;
}

SdlPlatform::LogicalPoint SdlPlatform::ToLogical(int windowX, int windowY) const {
  Layout layout = CurrentLayout();
  int windowWidth = 0, windowHeight = 0, outputWidth = 0, outputHeight = 0;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  float x = static_cast<float>(windowX), y = static_cast<float>(windowY);
  if (SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight) == 0 && windowWidth > 0 && windowHeight > 0) {
    // Pointer positions come in the window's units, drawing in the renderer's pixels.
    x = x * outputWidth / windowWidth;
    y = y * outputHeight / windowHeight;
  }
  return {static_cast<int>(std::floor((x - layout.originX) / layout.scale)),
          static_cast<int>(std::floor((y - layout.originY) / layout.scale))};
}

void SdlPlatform::CycleScaling() {
  settings_.scaling = static_cast<PictureScaling>((static_cast<int>(settings_.scaling) + 1) % 3);
  ShowNotice(ScalingName(settings_.scaling));
  needsRender_ = true;
}

void SdlPlatform::ShowNotice(const std::string& text) {
  std::vector<uint32_t> pixels(static_cast<size_t>(kPictureWidth) * NoticePainter::kHeight, 0);
  noticeWidth_ = notices_->Paint(text, pixels.data(), kPictureWidth, kPictureWidth - 2 * kNoticeMargin);
  SDL_UpdateTexture(noticeTexture_, nullptr, pixels.data(), kPictureWidth * 4);
  noticeUntil_ = Milliseconds() + kNoticeDuration;
  noticeShown_ = true;
  needsRender_ = true;
}

void SdlPlatform::ShowSkipping(bool skipping) {
  if (skipping == skipping_) return;
  skipping_ = skipping;
  needsRender_ = true;
}

void SdlPlatform::RenderNotices(const Layout& layout) {
  float scale = layout.scale;
  float top = layout.originY + layout.pictureTop * scale;
  float height = NoticePainter::kHeight * scale;
  if (skipping_) {
    SDL_Rect source{0, 0, skipWidth_, NoticePainter::kHeight};
    SDL_FRect target{layout.originX + (kPictureWidth - kNoticeMargin - skipWidth_) * scale,
                     top + kNoticeMargin * scale, skipWidth_ * scale, height};
    SDL_RenderCopyF(renderer_, skipTexture_, &source, &target);
  }
  if (noticeShown_) {
    SDL_Rect source{0, 0, noticeWidth_, NoticePainter::kHeight};
    SDL_FRect target{layout.originX + kNoticeMargin * scale,
                     top + (kPictureHeight - kNoticeMargin - NoticePainter::kHeight) * scale, noticeWidth_ * scale,
                     height};
    SDL_RenderCopyF(renderer_, noticeTexture_, &source, &target);
  }
}

}  // namespace velmio
