#include "shell/shutdown.h"

#include "shell/interpreter.h"
#include "shell/settings_files.h"

namespace velmio {

void OrderlyShutdown(Interpreter& engine) {
  WriteSettings(engine);
  if (engine.shell.fullScreen) engine.platform.SetScreenMode(ScreenMode::Window);
  engine.platform.UseCursor(CursorChoice::Arrow);
  engine.platform.SetCustomCursor(nullptr);
}

}  // namespace velmio
