#pragma once
#include <cstdint>
#include <string>

#include "shell/menu_bar.h"

namespace velmio {

// Flags the window procedure sets and the waits read.
struct InputState {
  bool clickFlag = false;
  bool rightClickFlag = false;
  bool skipMode = false;
  bool pageMode = false;
  int lastMessage = -1;  // the MessageKind of the last dispatched message
  int mouseX = 0;
  int mouseY = 0;
  // Where the last button press or release happened (mere moves do not change it).
  int clickX = 0;
  int clickY = 0;
};

struct ShellState {
  bool fullScreen = false;
  bool menuHidden = false;
  int speedIndex = 1;  // 0 slow, 1 normal, 2 fast
  bool waveEnabled = true;
  bool timerRunning = false;
  uint32_t nextTimerTick = 0;
  uint32_t timerBase = 0;
  std::string productVersion = "Velmio Version 1.07b";
  std::string creditLine = "Velmio contributors";
  bool cdFadeOff = false;  // "cdfadeoff" in config.txt
  uint32_t cdFadeOutTime = 1000;
  MenuBar menu;
  bool customCursor = false;  // a cursor loaded by `mousecursor` is in use
};

}  // namespace velmio
