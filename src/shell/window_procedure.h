#pragma once
#include <string_view>

#include "platform/message.h"
#include "platform/platform.h"

namespace velmio {

// Window timer 1: restarts looping music and drives what must happen every 100 ms.
constexpr uint32_t kTimerPeriod = 100;

class ShellContext;

// Sets the flags and settings a message implies; never runs scenario code.
void WindowProcedure(ShellContext& engine, const Message& message);

// A message box owned by the window (texts Shift JIS), logged as MESSAGEBOX. The window timer
// is held while it is open.
MessageBoxAnswer ShowMessageBox(ShellContext& engine, std::string_view text, std::string_view title,
                                MessageBoxStyle style);

// The window's destruction: unwinds to the process entry, which runs the orderly shutdown.
[[noreturn]] void DestroyWindow(ShellContext& engine);

void StartWindowTimer(ShellContext& engine);
void StopWindowTimer(ShellContext& engine);

}  // namespace velmio
