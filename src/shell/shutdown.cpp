#include "shell/shutdown.h"

#include "shell/settings_files.h"
#include "shell/shell_context.h"

namespace velmio {

void OrderlyShutdown(ShellContext& engine) {
  // Ending before the saved settings were in force would overwrite them with start-up defaults.
  if (engine.shell.settingsReplay == SettingsReplay::Applied) WriteSettings(engine);
  if (engine.shell.fullScreen) engine.platform.SetScreenMode(ScreenMode::Window);
  engine.platform.UseCursor(CursorChoice::Arrow);
  engine.platform.SetCustomCursor(nullptr);
}

}  // namespace velmio
