#pragma once
#include <cstdint>
#include <string>

#include "shell/menu_bar.h"

namespace velmio {

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
};

}  // namespace velmio
