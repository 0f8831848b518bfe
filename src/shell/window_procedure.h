#pragma once
#include <string_view>

#include "platform/message.h"
#include "platform/platform.h"

namespace velmio {

class Interpreter;

// Takes one pending message, if any, and dispatches it to the window procedure. Every wait of
// the engine is built from this.
bool PumpOneMessage(Interpreter& engine);

// Sets the flags and settings a message implies; never runs scenario code.
void WindowProcedure(Interpreter& engine, const Message& message);

// A message box owned by the window (texts Shift JIS), logged as MESSAGEBOX. The window timer
// is held while it is open.
MessageBoxAnswer ShowMessageBox(Interpreter& engine, std::string_view text, std::string_view title,
                                MessageBoxStyle style);

// The window's destruction: unwinds to the process entry, which runs the orderly shutdown.
[[noreturn]] void DestroyWindow(Interpreter& engine);

void StartWindowTimer(Interpreter& engine);
void StopWindowTimer(Interpreter& engine);

}  // namespace velmio
