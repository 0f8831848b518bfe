#pragma once
// How the player left the window: kept in $XDG_CONFIG_HOME/velmio/window.ini, the program's own
// file, so that nothing a game reads or writes ("envdata", saves) depends on the window.
#include <cstdint>
#include <string>

namespace velmio {

// How the 640 x 480 picture fills a window (or the screen) of another size.
enum class PictureScaling : uint8_t {
  Fit,      // as large as fits, smoothed
  Integer,  // the largest whole multiple that fits, sharp
  Single,   // 1x, centred
};

struct WindowSettings {
  PictureScaling scaling = PictureScaling::Fit;
  int width = 0;  // the window's size when last closed; 0 until the player has had one
  int height = 0;
  int largestStartScale = 2;  // a new window opens at most this many times 640 x 480
};

constexpr char kWindowSettingsName[] = "window.ini";

// Reads the settings; anything missing or malformed keeps its default.
WindowSettings LoadWindowSettings();
WindowSettings ParseWindowSettings(const std::string& text);

// Writes them (creating the folder); false when that is not possible.
bool SaveWindowSettings(const WindowSettings& settings);
std::string FormatWindowSettings(const WindowSettings& settings);

}  // namespace velmio
