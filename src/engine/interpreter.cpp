#include "engine/interpreter.h"

#include <optional>

#include "engine/reset.h"
#include "graphics/compose.h"
#include "shell/settings_files.h"
#include "shell/window_procedure.h"
#include "sound/media.h"
#include "text/text_window.h"

namespace velmio {

bool Interpreter::PumpOneMessage() {
  platform.CollectEvents(messages);
  if (shell.timerRunning && static_cast<int32_t>(platform.Milliseconds() - shell.nextTimerTick) >= 0) {
    // Ticks that fell due while nobody pumped collapse into one, as the platform's timer does.
    shell.nextTimerTick = platform.Milliseconds() + kTimerPeriod;
    if (!messages.Contains(MessageKind::Timer)) messages.Post(Message{MessageKind::Timer});
  }
  std::optional<Message> message = messages.Take();
  if (!message) return false;
  WindowProcedure(*this, *message);
  NoteSettingsReplayed(*this);
  return true;
}

void Interpreter::ResetToStart() { velmio::ResetToStart(*this); }

void Interpreter::RecomposeScreen(const DirtyRect& rect) {
  // The text window is always top-most, over exactly what was rebuilt.
  if (std::optional<DirtyRect> rebuilt = ComposeScreen(graphics, rect)) DrawTextWindowOnCompose(*this, *rebuilt);
}

void Interpreter::EraseTextWindow() { velmio::EraseTextWindow(*this); }

uint32_t Interpreter::UntilTimerTick() {
  if (!shell.timerRunning) return kNoTimerTick;
  const int32_t left = static_cast<int32_t>(shell.nextTimerTick - platform.Milliseconds());
  return left <= 0 ? 0 : static_cast<uint32_t>(left);
}

void Interpreter::PlayClickVoice(CursorKind kind) {
  const std::string& voice = ui.clickVoices[kind == CursorKind::Page ? 1 : 0];
  if (!voice.empty()) PlayWave(*this, voice, Looping::Once);
}

}  // namespace velmio
