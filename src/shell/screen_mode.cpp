#include "shell/screen_mode.h"

#include "base/errors.h"
#include "shell/menu_bar.h"
#include "shell/shell_context.h"

namespace velmio {
namespace {

constexpr int kMenuRevealRows = 20;
constexpr int kWindowRestoreAttempts = 10;
constexpr uint32_t kWindowRestorePause = 5;

// So that the menu bar logic runs once for the new mode.
void PostPointerNudge(ShellContext& engine) { engine.messages.Post(Message{MessageKind::MouseMove, 0, 1, 0}); }

}  // namespace

void SwitchToFullScreen(ShellContext& engine) {
  ShellState& shell = engine.shell;
  if (shell.fullScreen) return;
  if (!engine.platform.SetScreenMode(ScreenMode::FullScreen)) RaiseError("error", "DISP_CHANGE_FAILED");
  engine.platform.SetMenuBarState(MenuBarState::Detached);
  shell.fullScreen = true;
  shell.menuHidden = true;
  RefreshMenuBar(engine);
  PostPointerNudge(engine);
}

void SwitchToWindow(ShellContext& engine) {
  ShellState& shell = engine.shell;
  if (!shell.fullScreen) return;
  bool restored = false;
  for (int attempt = 0; attempt < kWindowRestoreAttempts && !restored; ++attempt) {
    if (attempt > 0) engine.platform.Idle(kWindowRestorePause, WaitKind::Timed);
    restored = engine.platform.SetScreenMode(ScreenMode::Window);
  }
  if (!restored) return;
  shell.fullScreen = false;
  shell.menuHidden = false;
  engine.platform.SetMenuBarState(MenuBarState::Attached);
  RefreshMenuBar(engine);
  PostPointerNudge(engine);
}

void UpdateFullScreenMenuBar(ShellContext& engine, int pointerY) {
  ShellState& shell = engine.shell;
  if (!shell.fullScreen) return;
  if (pointerY < kMenuRevealRows && shell.menuHidden) {
    engine.platform.SetMenuBarState(MenuBarState::Attached);
    shell.menuHidden = false;
  } else if (pointerY >= kMenuRevealRows && !shell.menuHidden) {
    engine.platform.SetMenuBarState(MenuBarState::Detached);
    shell.menuHidden = true;
  }
}

}  // namespace velmio
