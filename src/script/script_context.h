#pragma once
// What every command handler sees of the engine: the platform, the message queue and input
// flags, the scenario, and the picture log. Each subsystem above adds its own state by deriving
// from the context below it, so a handler reaches only the state of its subsystem and of the
// ones under it. The few operations that need a subsystem higher up (the message pump, the
// text window over a composed screen) are hooks the engine implements.
#include "base/event_log.h"
#include "files/picture_log.h"
#include "platform/input_state.h"
#include "platform/message_queue.h"
#include "platform/platform.h"
#include "script/script.h"

namespace velmio {

class ScriptContext {
 public:
  ScriptContext(Platform& platform, EventLog& log) : platform(platform), log(log) {}
  virtual ~ScriptContext() = default;
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  Platform& platform;
  EventLog& log;
  MessageQueue messages;
  InputState input;
  Script script;
  PictureLog pictureLog;

  // Takes one pending message, if any, and dispatches it to the window procedure; true when
  // there was one. Every wait of the engine is built from this.
  virtual bool PumpOneMessage() = 0;
  // Back to the label `start` with a fresh play-through (a reset asked for during a wait).
  virtual void ResetToStart() = 0;
};

}  // namespace velmio
