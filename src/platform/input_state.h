#pragma once

namespace velmio {

// Flags the window procedure sets and the waits read.
struct InputState {
  bool clickFlag = false;
  bool rightClickFlag = false;
  bool skipMode = false;
  // Ctrl is held: skip while it is down. Unlike skipMode it also shows transitions at once and
  // shortens timed waits, and neither clicks nor choices switch it off.
  bool skipHeld = false;
  // The wheel turned up: the waits open the lookback viewer.
  bool wheelUpFlag = false;
  bool pageMode = false;
  int speedIndex = 1;  // the speed menu: 0 slow, 1 normal, 2 fast
  int lastMessage = -1;  // the MessageKind of the last dispatched message
  int mouseX = 0;
  int mouseY = 0;
  // Where the last button press or release happened (mere moves do not change it).
  int clickX = 0;
  int clickY = 0;

  bool Skipping() const { return skipMode || skipHeld; }
};

}  // namespace velmio
