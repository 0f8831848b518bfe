#pragma once
#include <string>

namespace velmio {

// Text window state; grows with the text window.
struct TextState {
  int column = 0;
  int line = 0;
  bool autoClick = false;
  std::string configuredFontFace;  // set by `defaultfont`
  std::string defaultFontFace;     // chosen in the font menu
  std::string fontFace;            // the face used for the current page
};

}  // namespace velmio
