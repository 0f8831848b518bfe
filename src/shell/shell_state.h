#pragma once
#include <cstdint>
#include <string>

#include "shell/menu_bar.h"

namespace velmio {

// How far this cycle has come with replaying "envdata": until the player's settings are in
// force, the engine's settings are start-up defaults that must not overwrite the file.
enum class SettingsReplay : uint8_t { NotYet, Posted, Applied };

struct ShellState {
  bool fullScreen = false;
  bool menuHidden = false;
  bool timerRunning = false;
  uint32_t nextTimerTick = 0;
  uint32_t timerBase = 0;
  std::string productVersion = "Velmio Version 1.07b";
  std::string creditLine = "Velmio contributors";
  MenuBar menu;
  bool customCursor = false;  // a cursor loaded by `mousecursor` is in use
  SettingsReplay settingsReplay = SettingsReplay::NotYet;
};

}  // namespace velmio
