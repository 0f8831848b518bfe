#pragma once
#include "graphics/graphics_state.h"
#include "persist/picture_log.h"
#include "platform/platform.h"
#include "script/script.h"
#include "shell/event_log.h"
#include "shell/message_queue.h"
#include "shell/shell_state.h"
#include "text/text_state.h"

namespace velmio {

// The one engine object: owns the scenario and the run-time state of every subsystem. Each
// subsystem keeps its state in its own member and its operations in its own folder.
class Interpreter {
 public:
  Interpreter(Platform& platform, EventLog& log) : platform(platform), log(log) {}
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  Platform& platform;
  EventLog& log;
  MessageQueue messages;
  InputState input;
  ShellState shell;
  Script script;
  TextState text;
  GraphicsState graphics;
  PictureLog pictureLog;
};

}  // namespace velmio
