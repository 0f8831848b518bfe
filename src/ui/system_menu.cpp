#include "ui/system_menu.h"

#include <string>
#include <vector>

#include "base/encoding.h"
#include "graphics/animation.h"
#include "graphics/effects.h"
#include "shell/menu_commands.h"
#include "ui/choices.h"
#include "ui/confirm.h"
#include "ui/lookback.h"
#include "ui/save_load_pages.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

// The story text of the page, kept while menu pages write their glyphs into the layers.
class SavedTextLayers {
 public:
  explicit SavedTextLayers(TextLayers& layers) : layers_(layers), coverage_(layers.coverage) {
    colour_.Create(layers.colour.width, layers.colour.height, 24);
    CopySurfaceRect(colour_, 0, 0, colour_.width, colour_.height, layers.colour, 0, 0);
  }
  void Restore() {
    layers_.coverage = coverage_;
    CopySurfaceRect(layers_.colour, 0, 0, colour_.width, colour_.height, colour_, 0, 0);
  }

 private:
  TextLayers& layers_;
  std::vector<uint8_t> coverage_;
  Surface colour_;
};

void ShowAtOnce(UiContext& engine) {
  engine.RecomposeScreen();
  ShowWithEffect(engine, 1, 0, {}, nullptr);
}

void RestoreAndLeave(UiContext& engine, SavedTextLayers& saved) {
  saved.Restore();
  ShowAtOnce(engine);
}

void ResetItem(UiContext& engine) {
  engine.text.menuAreaPrepared = false;
  engine.text.layers.Clear();
  if (ConfirmYesNo(engine, Sjis("終了します。よろしいですか？")) == 1) engine.script.resetRequest = true;
}

enum class From : uint8_t { Menu, SystemCall };

// Runs one item; true when the menu should come back (a "no" on the reset confirmation).
bool RunItem(UiContext& engine, MenuItemKind kind, SavedTextLayers& saved, From from) {
  switch (kind) {
    case MenuItemKind::Lookback:
      ShowAtOnce(engine);
      if (from == From::SystemCall) {
        LookbackViewer(engine);
        return false;
      }
      saved.Restore();
      if (LookbackViewer(engine) == 0) ShowAtOnce(engine);
      return false;
    case MenuItemKind::HideWindow:
      if (from == From::Menu) saved.Restore();
      else engine.text.windowShown = true;
      HideWindowUntilClick(engine);
      return false;
    case MenuItemKind::Load:
      LoadPage(engine);
      if (!engine.script.loadRequest) RestoreAndLeave(engine, saved);
      return false;
    case MenuItemKind::Save:
      SavePage(engine);
      RestoreAndLeave(engine, saved);
      return false;
    case MenuItemKind::Reset:
      ResetItem(engine);
      if (engine.script.resetRequest) return false;
      if (from == From::Menu) return true;
      RestoreAndLeave(engine, saved);
      return false;
    case MenuItemKind::Skip:
      engine.messages.Post(Message{MessageKind::MenuCommand, 0, 0, menu_id::kSkipToChoice});
      RestoreAndLeave(engine, saved);
      return false;
  }
  return false;
}

void MenuLoop(UiContext& engine, SavedTextLayers& saved) {
  UiState& ui = engine.ui;
  std::vector<std::string> texts;
  for (const MenuItem& item : ui.menuItems) texts.push_back(item.text);
  for (;;) {
    engine.text.menuAreaPrepared = false;
    engine.text.layers.Clear();
    const int taken = ShowChoices(engine, texts, 0, 0);
    if (taken == kNoChoice) {
      RestoreAndLeave(engine, saved);
      return;
    }
    if (!RunItem(engine, ui.menuItems[taken].kind, saved, From::Menu)) return;
  }
}

}  // namespace

void HideWindowUntilClick(UiContext& engine) {
  TextState& text = engine.text;
  InputState& input = engine.input;
  if (!text.windowShown) return;
  const bool composed = text.composeTextWindow;
  const WindowEffect& effect = text.windowEffect;
  text.composeTextWindow = false;
  engine.RecomposeScreen();
  ShowWithEffect(engine, effect.type, effect.duration, effect.mask, nullptr);
  input.clickFlag = false;
  input.rightClickFlag = false;
  engine.platform.PlayerWaitStarted();
  while (!input.clickFlag && !input.rightClickFlag) {
    if (engine.PumpOneMessage()) continue;
    AnimationTick(engine);
    if (engine.messages.Empty()) engine.platform.Idle(5, WaitKind::Player);
  }
  input.clickFlag = false;
  input.rightClickFlag = false;
  text.composeTextWindow = composed;
  engine.RecomposeScreen();
  ShowWithEffect(engine, effect.type, effect.duration, effect.mask, nullptr);
}

void SystemMenu(UiContext& engine, int32_t kind) {
  UiState& ui = engine.ui;
  TextState& text = engine.text;
  if (kind == kRightClick && (ui.rightClickMode == RightClickMode::Off || engine.persist.rightClickEnabled == 0))
    return;
  if (text.menuMode) return;
  text.menuMode = true;
  if (ui.rightClickMode == RightClickMode::Lookback) {
    LookbackViewer(engine);
  } else if (ui.rightClickMode == RightClickMode::Hide && kind == kRightClick) {
    HideWindowUntilClick(engine);
  } else {
    SavedTextLayers saved(text.layers);
    text.menuAreaPrepared = false;
    text.windowShown = false;
    if (kind == kRightClick) MenuLoop(engine, saved);
    else RunItem(engine, static_cast<MenuItemKind>(kind), saved, From::SystemCall);
  }
  text.menuMode = false;
}

void WheelLookback(UiContext& engine) {
  UiState& ui = engine.ui;
  TextState& text = engine.text;
  bool reachable = ui.rightClickMode == RightClickMode::Lookback;
  if (ui.rightClickMode == RightClickMode::Menu)
    for (const MenuItem& item : ui.menuItems) reachable = reachable || item.kind == MenuItemKind::Lookback;
  if (!reachable || engine.persist.rightClickEnabled == 0 || text.menuMode) return;
  text.menuMode = true;
  LookbackViewer(engine);
  text.menuMode = false;
}

void WheelLookbackHook(TextContext& engine) { WheelLookback(static_cast<UiContext&>(engine)); }

void RightClickMenuHook(TextContext& engine) {
  // Only the engine object, a UiContext, installs this hook.
  SystemMenu(static_cast<UiContext&>(engine), kRightClick);
}

}  // namespace velmio
