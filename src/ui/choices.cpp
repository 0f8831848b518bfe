#include "ui/choices.h"

#include <algorithm>
#include <vector>

#include "graphics/animation.h"
#include "graphics/effects.h"
#include "graphics/present.h"
#include "sound/media.h"
#include "text/menu_text.h"
#include "ui/system_menu.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

// Where one entry is drawn and where the pointer takes it: x in [left, right), y in [top, bottom).
struct Entry {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
  int column = 0;  // where DrawMenuText starts it: a cell, or minus a pixel position
  int line = 0;
};

struct Layout {
  std::vector<Entry> entries;
  uint32_t highlight = 0;
  uint32_t normal = 0;
  const std::string* hoverVoice = nullptr;
  const std::string* decisionVoice = nullptr;
};

void PlayVoice(UiContext& engine, const std::string& name) {
  if (!name.empty()) PlayWave(engine, name, Looping::Once);
}

void ShowWholeScreen(UiContext& engine, const WindowEffect* effect) {
  engine.RecomposeScreen();
  if (effect) ShowWithEffect(engine, effect->type, effect->duration, effect->mask, nullptr);
  else ShowWithEffect(engine, 1, 0, {}, nullptr);
}

// The text window comes up and the entries are drawn on its grid, one under the other.
Layout DrawOnTextGrid(UiContext& engine, std::span<const std::string> texts, int column, int line) {
  TextState& text = engine.text;
  UiState& ui = engine.ui;
  Layout layout{{}, ui.choiceHighlight, ui.choiceNormal, &ui.hoverVoice, &ui.decisionVoice};
  text.composeTextWindow = true;
  ShowWholeScreen(engine, text.windowShown ? nullptr : &text.windowEffect);
  int widest = 0;
  for (const std::string& choice : texts) {
    Entry entry;
    entry.column = column;
    entry.line = line;
    int drawColumn = column;
    widest = std::max(widest, DrawMenuText(engine, choice, drawColumn, line, layout.normal));
    entry.top = text.textY + entry.line * text.pitchY;
    entry.bottom = text.textY + line * text.pitchY;
    layout.entries.push_back(entry);
  }
  for (Entry& entry : layout.entries) {
    entry.left = text.textX + column * text.pitchX + 1;
    entry.right = text.textX + (column + widest) * text.pitchX + 1;
  }
  return layout;
}

// The screen without the text window, shaded, with the entries centred on it.
Layout DrawCentred(UiContext& engine, std::span<const std::string> texts) {
  TextState& text = engine.text;
  UiState& ui = engine.ui;
  Layout layout{{}, ui.menuHighlight, ui.menuNormal, &ui.menuVoices[static_cast<int>(MenuVoice::Moved)],
                &ui.menuVoices[static_cast<int>(MenuVoice::Taken)]};
  text.composeTextWindow = false;
  engine.RecomposeScreen();
  ShadeMenuArea(engine, 0, 0, kScreenWidth, kScreenHeight, engine.graphics.compose);
  ShowWithEffect(engine, 1, 0, {}, nullptr);
  text.composeTextWindow = true;
  text.menuAreaPrepared = true;

  size_t longest = 0;
  for (const std::string& item : texts) longest = std::max(longest, item.size());
  const int pitchX = text.menuWindow.pitchX;
  const int pitchY = text.menuWindow.pitchY;
  const int halfWidth = pitchX * static_cast<int>(longest) / 4;
  const int half = static_cast<int>(texts.size()) / 2;
  for (size_t i = 0; i < texts.size(); ++i) {
    Entry entry;
    entry.left = kScreenWidth / 2 - halfWidth;
    entry.right = kScreenWidth / 2 + halfWidth;
    entry.top = kScreenHeight / 2 - (half - static_cast<int>(i)) * pitchY;
    entry.bottom = entry.top + pitchY;
    // Pixel positions are passed negated; a list too big for the screen is clipped, not wrapped.
    entry.column = -std::max(entry.left, 1);
    entry.line = -std::max(entry.top, 1);
    int column = entry.column, line = entry.line;
    DrawMenuText(engine, texts[i], column, line, layout.normal);
    layout.entries.push_back(entry);
  }
  return layout;
}

int HitEntry(const Layout& layout, int x, int y) {
  for (size_t i = 0; i < layout.entries.size(); ++i) {
    const Entry& entry = layout.entries[i];
    if (x >= entry.left && x < entry.right && y >= entry.top && y < entry.bottom) return static_cast<int>(i);
  }
  return kNoChoice;
}

// Redraws the entries whose colour changes and shows them in the window at once.
void Recolour(UiContext& engine, const Layout& layout, std::span<const std::string> texts, int entry,
              uint32_t colour, ScreenArea& drawn) {
  if (entry == kNoChoice) return;
  int column = layout.entries[entry].column, line = layout.entries[entry].line;
  DrawMenuText(engine, texts[entry], column, line, colour, &drawn);
}

void Show(UiContext& engine, const ScreenArea& drawn) {
  if (drawn.width > 0 && drawn.height > 0) CopyToWindow(engine, engine.graphics.display, drawn);
}

void LogEntries(UiContext& engine, std::span<const std::string> texts, std::string_view kind) {
  for (size_t i = 0; i < texts.size(); ++i) engine.log.WriteShiftJis(kind, std::to_string(i) + " " + texts[i]);
}

}  // namespace

int ShowChoices(UiContext& engine, std::span<const std::string> texts, int column, int line) {
  InputState& input = engine.input;
  TextState& text = engine.text;
  Script& script = engine.script;
  const bool menu = text.menuMode;
  if (menu) PlayVoice(engine, engine.ui.menuVoices[static_cast<int>(MenuVoice::Opened)]);
  else if (!input.Skipping()) PlayVoice(engine, engine.ui.openingVoice);
  input.skipMode = false;

  const Layout layout = menu ? DrawCentred(engine, texts) : DrawOnTextGrid(engine, texts, column, line);
  LogEntries(engine, texts, menu ? "MENU" : "CHOICE");
  std::vector<ScreenArea> targets;
  for (const Entry& entry : layout.entries)
    targets.push_back(ScreenArea{entry.left, entry.top, entry.right - entry.left, entry.bottom - entry.top});
  engine.platform.ChoicesShown(targets);

  engine.messages.RemoveAll(MessageKind::LeftButtonUp);
  engine.messages.RemoveAll(MessageKind::Character);
  input.clickFlag = false;
  input.rightClickFlag = false;
  input.wheelUpFlag = false;
  engine.platform.PlayerWaitStarted();
  int highlighted = kNoChoice;
  for (;;) {
    if (engine.PumpOneMessage()) {
      if (input.lastMessage == static_cast<int>(MessageKind::MouseMove)) {
        const int hit = HitEntry(layout, input.mouseX, input.mouseY);
        if (hit != highlighted) {
          if (hit != kNoChoice) PlayVoice(engine, *layout.hoverVoice);
          ScreenArea drawn;
          Recolour(engine, layout, texts, highlighted, layout.normal, drawn);
          Recolour(engine, layout, texts, hit, layout.highlight, drawn);
          Show(engine, drawn);
          highlighted = hit;
        }
      }
      if (input.clickFlag) {
        input.clickFlag = false;
        if (highlighted != kNoChoice) {
          PlayVoice(engine, *layout.decisionVoice);
          ScreenArea drawn;
          Recolour(engine, layout, texts, highlighted, layout.normal, drawn);
          Show(engine, drawn);
          return highlighted;
        }
      }
      const bool wheelUp = input.wheelUpFlag && !menu;
      input.wheelUpFlag = false;
      if (input.rightClickFlag || wheelUp) {
        const bool rightClick = input.rightClickFlag;
        input.rightClickFlag = false;
        ScreenArea drawn;
        Recolour(engine, layout, texts, highlighted, layout.normal, drawn);
        Show(engine, drawn);
        if (menu) {
          PlayVoice(engine, engine.ui.menuVoices[static_cast<int>(MenuVoice::Cancelled)]);
          return kNoChoice;
        }
        if (rightClick) SystemMenu(engine, kRightClick);
        else WheelLookback(engine);
        if (script.resetRequest || script.loadRequest) return kNoChoice;
        // The pages opened meanwhile listed their own entries; the keys and `choose` mean ours.
        engine.platform.ChoicesShown(targets);
      }
      continue;
    }
    if (!menu) AnimationTick(engine);
    if (engine.messages.Empty()) engine.platform.Idle(menu ? 20 : 5, WaitKind::Player);
  }
}

}  // namespace velmio
