#pragma once
// The state of the text display: the text window with its layers and glyph canvas, the History,
// the click cursors and wait settings, and the menu text settings.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/surface.h"
#include "text/glyph_canvas.h"
#include "text/history.h"

namespace velmio {

class TextContext;

constexpr int kTextNoColour = -1;   // windowColour: draw the window picture instead
constexpr int kCharWaitFromMenu = -1;  // charWait: use the speed menu's choice

// The window area, inclusive.
struct TextRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = kScreenWidth;
  int32_t bottom = kScreenHeight;
};

// The effect used when the window is shown or erased (`windoweffect`): an effect type, its
// duration and, for the mask effects, the mask picture.
struct WindowEffect {
  int32_t type = 1;
  int32_t duration = 0;
  std::string mask;
};

// One of the two click-wait cursors: 0 for click waits, 1 for page waits.
struct ClickCursor {
  PictureLayer layer;
  std::string name;  // as given to `setcursor`; empty for the built-in picture
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  bool relative = true;  // shown at the pen position plus the offset; else at the offset itself
};

// The click cursors' pictures before any `setcursor`, and after loading a save that set none.
constexpr const char* kDefaultCursorPictures[2] = {":l/3,160,2;cursor0.bmp", ":l/3,160,2;cursor1.bmp"};

enum class CursorKind : int32_t { None = 0, Normal = 1, Page = 2 };

// Settings of menu glyphs (`menusetwindow`), used while the right-click menu is open.
struct MenuWindow {
  int32_t glyphWidth = 26;
  int32_t glyphHeight = 26;
  int32_t pitchX = 26;
  int32_t pitchY = 28;
  int32_t bold = 0;
  int32_t shadow = 0;
  uint32_t colour = 0x999999;
};

// Coverage of the text drawn on each screen pixel and the text colour already weighted by it;
// the window is redrawn from them whenever the screen is recomposed.
struct TextLayers {
  TextLayers();
  void Clear();
  std::vector<uint8_t> coverage;  // 640 x 480, rows top-down
  Surface colour;  // 640 x 480 x 24, black where there is no text
};

// What runs the right-click menu from a wait; installed by the menus. Without one a right click
// in a wait does nothing.
using RightClickMenu = void (*)(TextContext& engine);

struct TextState {
  // --- TextWindow geometry and look ---
  int32_t textX = 8;
  int32_t textY = 16;
  int32_t charsPerLine = 23;
  int32_t lineCount = 16;
  int32_t glyphWidth = 26;
  int32_t glyphHeight = 26;
  int32_t pitchX = 26;
  int32_t pitchY = 28;
  int32_t charWait = 20;
  int32_t bold = 1;
  int32_t shadow = 1;
  int32_t windowColour = 0x999999;  // 0xRRGGBB, or kTextNoColour
  PictureLayer windowPicture;
  std::string windowPictureName;
  TextRect windowRect;

  // --- Typing position and settings ---
  int column = 0;
  int line = 0;
  uint8_t textRed = 255;
  uint8_t textGreen = 255;
  uint8_t textBlue = 255;
  std::string fontFace;            // the face used for the current page
  std::string defaultFontFace;     // chosen in the font menu; copied into fontFace at page clears
  std::string configuredFontFace;  // set by `defaultfont`
  int32_t textVisible = 1;         // `textmode`
  bool windowShown = false;
  bool composeTextWindow = false;
  int32_t eraseWindowMode = 1;
  WindowEffect windowEffect;
  std::string clickStr;  // two-byte characters that end in an automatic click wait
  int32_t clickStrMargin = 0;
  std::array<int32_t, 3> speedTable{40, 10, 0};  // slow, normal, fast

  // --- Layers ---
  TextLayers layers;
  GlyphCanvas canvas;
  History history;

  // --- Waits ---
  std::array<ClickCursor, 2> cursors;
  CursorKind cursorKind = CursorKind::None;
  int32_t cursorX = 0;
  int32_t cursorY = 0;
  Surface cursorSaveUnder;
  bool autoClick = false;
  uint32_t autoClickDelay = 0;
  RightClickMenu rightClickMenu = nullptr;
  RightClickMenu wheelLookback = nullptr;  // the wheel turned up in a wait

  // --- Menu text ---
  MenuWindow menuWindow;
  bool menuMode = false;
  bool menuAreaPrepared = false;
};

}  // namespace velmio
