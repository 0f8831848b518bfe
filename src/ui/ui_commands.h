#pragma once
#include <span>

#include "script/command_entry.h"

namespace velmio {

class UiContext;

using UiCommand = CommandEntry<UiContext>;

// Choices, the right-click menu and system calls, lookback, the input dialogs.
std::span<const UiCommand> UiCommands();

// Back to the start-up settings at the start of an initialisation cycle; installs the
// right-click menu into the waits.
void InitialiseUi(UiContext& engine);

}  // namespace velmio
