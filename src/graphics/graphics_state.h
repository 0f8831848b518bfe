#pragma once
// The graphics state of the `Interpreter`: work surfaces, screen layers,
// composition settings, the DirtyRect and the effect slots.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/picture_sources.h"
#include "graphics/surface.h"

namespace velmio {

constexpr int kSpriteCount = 60;
constexpr int kStandingCount = 3;
constexpr int kEffectSlotCount = 50;
constexpr int kDefaultHumanz = 29;
constexpr int kDefaultEffectBlank = 30;
constexpr int32_t kDefaultUnderline = kScreenHeight;  // standing pictures stand on the bottom edge
constexpr size_t kMaxPictureNameLength = 255;  // names are 256-byte fields with their NUL

// The inclusive screen rectangle to recompose. All four 0 means empty; (0,0,0,0) cannot be
// told apart from empty; save files and scenarios rely on that meaning.
struct DirtyRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  void Clear() { left = top = right = bottom = 0; }
  // The whole screen, as callers that want a full redraw store it: (0, 0, 640, 480).
  void SetWholeScreen() {
    left = 0;
    top = 0;
    right = kScreenWidth;
    bottom = kScreenHeight;
  }
  // AddDirtyRect: replace when empty, else widen; then clamp to 0..639 x 0..479.
  void Add(int32_t l, int32_t t, int32_t r, int32_t b);
};

// A clip rectangle for DrawLayer: right and bottom exclusive.
struct ClipRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = kScreenWidth;
  int32_t bottom = kScreenHeight;
};

// The background window set by `bgalia`: x = -1 means off.
struct BackgroundWindow {
  int32_t x = -1;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool On() const { return x != -1; }
};

enum StandingPosition : int { kStandingLeft = 0, kStandingCentre = 1, kStandingRight = 2 };

// A standing picture: shown while its name is not empty. What a save records of it (name and
// position) changes only through GraphicsState, which counts every change.
class StandingPicture {
 public:
  StandingPicture() = default;
  StandingPicture& operator=(const StandingPicture&) = delete;

  const std::string& Name() const { return name_; }  // picture descriptor as written (tag included)
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }
  bool Shown() const { return !name_.empty(); }

  PictureLayer layer;  // includes its alpha (`tal`)

 private:
  friend struct GraphicsState;
  std::string name_;
  int32_t x_ = 0;
  int32_t y_ = 0;
};

// A sprite: shown while its name is not empty and `visible` is not 0. Its recorded fields change
// only through GraphicsState, as for the standing pictures.
class Sprite {
 public:
  Sprite() = default;
  Sprite& operator=(const Sprite&) = delete;

  const std::string& Name() const { return name_; }  // picture descriptor as written; empty = not defined
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }
  int32_t Visible() const { return visible_; }
  bool Shown() const { return !name_.empty() && visible_ != 0; }

  PictureLayer layer;  // includes its alpha

 private:
  friend struct GraphicsState;
  std::string name_;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t visible_ = 0;
};

// One of the 50 numbered transitions defined by `effect`.
struct EffectSlot {
  int32_t type = -1;     // effect type 0..18; -1 = undefined (checked only when shown)
  int32_t duration = 0;  // milliseconds
  std::string mask;      // mask picture descriptor for types 15 and 18; empty = none
};

struct GraphicsState {
  GraphicsState();

  // --- Work surfaces, 640 x 480 x 24, black at start-up ---
  Surface display;     // what the window shows; the window is painted from it
  Surface compose;     // where ComposeScreen rebuilds the screen
  Surface effectWork;  // scratch for the effects (and `bg`'s centring)

  // --- Screen layers ---
  PictureLayer background;  // at (0, 0), or shifted by the background window
  uint32_t backgroundColour = 0;  // 0xRRGGBB of the last `bg` colour operand (informative)
  std::array<StandingPicture, kStandingCount> standing;  // left, centre, right
  std::array<Sprite, kSpriteCount> sprites;

  // The names and positions of the background, standing pictures and sprites (what a save
  // records of them) change only here, and every change counts a revision: the save-point
  // snapshot keeps its copy of them while the revision stands.
  const std::string& BackgroundName() const { return backgroundName_; }  // last `bg` ("black" after reset)
  void SetBackgroundName(std::string_view name);
  void PlaceStanding(int index, std::string_view name, int32_t x, int32_t y);
  void ClearStandingName(int index) { PlaceStanding(index, {}, standing[index].x_, standing[index].y_); }
  void SetSprite(int number, std::string_view name, int32_t x, int32_t y, int32_t visible);
  void ClearSpriteName(int number);
  void MoveSprite(int number, int32_t x, int32_t y);
  void SetSpriteVisible(int number, int32_t visible);
  uint64_t PictureRevision() const { return pictureRevision_; }

  // --- Composition settings (set by the picture commands) ---
  int32_t humanz = kDefaultHumanz;  // sprites above this number lie behind the standing pictures
  BackgroundWindow backgroundWindow;
  bool monochrome = false;
  uint8_t monochromeRed = 0;  // the monochrome tint
  uint8_t monochromeGreen = 0;
  uint8_t monochromeBlue = 0;
  int32_t negativeMode = 0;  // 0 off, 1 invert before the monochrome filter, 2 after; else nothing

  // --- Placement settings of the loader and the picture commands (not reset by ResetToStart) ---
  static constexpr std::array<int32_t, kStandingCount> kStandingAnchors{160, 320, 480};
  int32_t underline = kDefaultUnderline;  // bottom line of standing pictures for `ld`
  TransparencyMode defaultTransparency = TransparencyMode::TopLeftKey;  // `transmode`
  PictureSources pictureSources;  // `spi`, `arc`, the loaded libraries

  DirtyRect dirty;

  // --- Effects ---
  std::array<EffectSlot, kEffectSlotCount> effectSlots;
  int32_t effectBlank = kDefaultEffectBlank;  // ms paused after every effect of type 2..18

  // Scratch of the mask effects (types 15 and 18), allocated once so that no frame allocates:
  // the old picture of the mask fade, and the tiled mask's value for every byte of the screen
  // (the blue byte of each pixel repeated three times, laid out like a screen surface).
  Surface maskFadeOld;
  std::vector<uint8_t> maskBytes;

 private:
  std::string backgroundName_;
  uint64_t pictureRevision_ = 0;
};

// AddDirtyRect on the engine's DirtyRect.
inline void AddDirtyRect(GraphicsState& graphics, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  graphics.dirty.Add(left, top, right, bottom);
}

}  // namespace velmio
