#pragma once
#include <cstdint>

namespace velmio {

// The window messages the engine reacts to. They mirror the Windows messages the engine was
// designed around, so waits can peek for and remove specific kinds exactly as before.
enum class MessageKind : uint8_t {
  MouseMove,
  LeftButtonDown,
  LeftButtonUp,
  RightButtonDown,
  RightButtonUp,
  Character,
  MenuCommand,
  Timer,
  Close,
  Paint,
  MediaNotification,
  // Keys and the wheel beyond what the original window knew. Wheel down arrives as a left click,
  // Escape as a right click and the arrow keys as pointer moves onto choices, so only these
  // are new to the window procedure.
  WheelUp,
  KeyDown,  // param: a KeyCode
  KeyUp,
};

// Keys whose holding the engine follows (KeyDown / KeyUp).
enum class KeyCode : uint32_t { Control = 1 };

struct Message {
  MessageKind kind = MessageKind::Paint;
  int x = 0;
  int y = 0;
  uint32_t param = 0;  // character code, menu id, timer id or notification code
};

}  // namespace velmio
