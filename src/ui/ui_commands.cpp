// The scenario commands of the choices, the right-click menu, lookback and the input dialogs.
#include "ui/ui_commands.h"

#include <array>
#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/errors.h"
#include "graphics/picture_loader.h"
#include "text/menu_text.h"
#include "text/text_window.h"
#include "ui/choices.h"
#include "ui/input_dialogs.h"
#include "ui/lookback.h"
#include "ui/system_menu.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

struct Choice {
  std::string text;
  std::string label;
};

// Pairs may run over several lines, broken before or after the comma between them.
bool NextPairFollows(Script& script) {
  script.SkipBlanksAndLineFeeds();
  if (script.Current() != ',') return false;
  ++script.position;
  script.SkipBlanksAndLineFeeds();
  return true;
}

void AddChoice(std::vector<Choice>& choices, Choice choice) {
  // An empty text hides its choice.
  if (choice.text.empty()) return;
  if (choices.size() >= static_cast<size_t>(kMaxChoices)) RaiseError("エラー", "選択肢は50個までです。");
  choices.push_back(std::move(choice));
}

std::vector<Choice> ReadChoicePairs(Script& script) {
  std::vector<Choice> choices;
  script.SkipBlanksAndLineFeeds();
  do {
    Choice choice;
    choice.text = script.ReadString();
    script.ExpectComma();
    choice.label = script.ReadLabel();
    AddChoice(choices, std::move(choice));
  } while (NextPairFollows(script));
  return choices;
}

// Shows the choices at the text position; kNoChoice when a reset or a load ended the command.
int Choose(UiContext& engine, const std::vector<Choice>& choices) {
  std::vector<std::string> texts;
  for (const Choice& choice : choices) texts.push_back(choice.text);
  const int taken = ShowChoices(engine, texts, engine.text.column, engine.text.line);
  Script& script = engine.script;
  if (script.resetRequest) {
    engine.ResetToStart();
    return kNoChoice;
  }
  if (script.loadRequest) {
    script.loadRequest = false;
    return kNoChoice;
  }
  engine.text.history.AppendPageMark();
  ClearTextPage(engine);
  return taken;
}

void Select(UiContext& engine) {
  const std::vector<Choice> choices = ReadChoicePairs(engine.script);
  const int taken = Choose(engine, choices);
  if (taken != kNoChoice) engine.script.JumpToLabel(choices[taken].label);
}

void SelGosub(UiContext& engine) {
  Script& script = engine.script;
  const std::vector<Choice> choices = ReadChoicePairs(script);
  const int taken = Choose(engine, choices);
  if (taken == kNoChoice) return;
  if (script.gosubDepth > kGosubDepth - 1) RaiseError("スタックエラー", "gosub文のせいでスタックが溢れました。");
  script.gosubStack[script.gosubDepth++] = script.position;
  script.JumpToLabel(choices[taken].label);
}

void SelNum(UiContext& engine) {
  Script& script = engine.script;
  const int variable = script.ExpectVariable(VariableKind::Number, "selnumの第一引数は数値変数です。");
  script.ExpectComma();
  script.SkipBlanksAndLineFeeds();
  std::vector<Choice> choices;
  do {
    Choice choice;
    choice.text = script.ReadString();
    // An empty text is followed by a label that goes with it, as in `select`.
    if (choice.text.empty()) {
      script.ExpectComma();
      script.ReadLabel();
    }
    AddChoice(choices, std::move(choice));
  } while (NextPairFollows(script));
  const int taken = Choose(engine, choices);
  if (taken != kNoChoice) script.variables.SetNumber(variable, taken);
}

uint32_t ReadHashColour(Script& script, std::string_view messageUtf8) {
  script.SkipBlanks();
  if (script.Current() != '#') RaiseError("エラー", messageUtf8);
  return script.ReadColor();
}

void SelectColor(UiContext& engine) {
  Script& script = engine.script;
  engine.ui.choiceHighlight = ReadHashColour(script, "selectcolorのパラメータが違います。");
  script.ExpectComma();
  engine.ui.choiceNormal = ReadHashColour(script, "selectcolorのパラメータが違います。");
}

template <size_t N>
void ReadNames(Script& script, std::array<std::string*, N> names) {
  for (size_t i = 0; i < N; ++i) {
    if (i > 0) script.ExpectComma();
    *names[i] = script.ReadString();
  }
}

void SelectVoice(UiContext& engine) {
  UiState& ui = engine.ui;
  ReadNames<3>(engine.script, {&ui.openingVoice, &ui.hoverVoice, &ui.decisionVoice});
}

MenuItemKind ItemKind(const std::string& keyword, std::string_view messageUtf8) {
  static constexpr std::string_view kKeywords[] = {"lookback", "windowerase", "load", "save", "reset", "skip"};
  for (size_t i = 0; i < std::size(kKeywords); ++i) {
    if (EqualFoldingAscii(keyword, kKeywords[i])) return static_cast<MenuItemKind>(i);
  }
  RaiseError("エラー", messageUtf8);
}

void RMenu(UiContext& engine) {
  Script& script = engine.script;
  std::vector<MenuItem>& items = engine.ui.menuItems;
  items.clear();
  engine.ui.rightClickMode = RightClickMode::Menu;
  for (;;) {
    script.SkipBlanks();
    const unsigned char next = script.Current();
    if (next == 0 || next == '\n' || next == '\r' || next == ';') return;
    if (!items.empty()) script.ExpectComma();
    MenuItem item;
    item.text = script.ReadString();
    script.ExpectComma();
    item.kind = ItemKind(script.ReadToken(), "rmenu命令へのパラメータが間違っています。");
    if (items.size() >= static_cast<size_t>(kMaxMenuItems)) RaiseError("エラー", "rmenuの項目は50個までです。");
    items.push_back(std::move(item));
  }
}

void ROff(UiContext& engine) { engine.ui.rightClickMode = RightClickMode::Off; }
void RLookback(UiContext& engine) { engine.ui.rightClickMode = RightClickMode::Lookback; }
void RMode(UiContext& engine) { engine.persist.rightClickEnabled = engine.script.ReadNumber(); }

void SystemCall(UiContext& engine) {
  Script& script = engine.script;
  const MenuItemKind kind = ItemKind(script.ReadToken(), "systemcall命令へのパラメータが間違っています。");
  SystemMenu(engine, static_cast<int32_t>(kind));
  if (script.resetRequest) engine.ResetToStart();
  script.loadRequest = false;
}

void Reset(UiContext& engine) { engine.ResetToStart(); }

void MenuSetWindow(UiContext& engine) {
  Script& script = engine.script;
  MenuWindow& menu = engine.text.menuWindow;
  menu.glyphWidth = script.ReadNumber();
  script.ExpectComma();
  menu.glyphHeight = script.ReadNumber();
  script.ExpectComma();
  menu.pitchX = menu.glyphWidth + script.ReadNumber();
  script.ExpectComma();
  menu.pitchY = menu.glyphHeight + script.ReadNumber();
  script.ExpectComma();
  menu.bold = script.ReadNumber();
  script.ExpectComma();
  menu.shadow = script.ReadNumber();
  script.ExpectComma();
  script.SkipBlanks();
  if (script.Current() == '#') menu.colour = script.ReadColor();
}

void MenuSelectColor(UiContext& engine) {
  Script& script = engine.script;
  UiState& ui = engine.ui;
  constexpr std::string_view kMessage = "menuselectcolorのパラメータが違います。";
  ui.menuHighlight = ReadHashColour(script, kMessage);
  script.ExpectComma();
  ui.menuNormal = ReadHashColour(script, kMessage);
  script.ExpectComma();
  ui.menuMissingSlot = ReadHashColour(script, kMessage);
}

void MenuSelectVoice(UiContext& engine) {
  std::array<std::string, 7>& voices = engine.ui.menuVoices;
  ReadNames<7>(engine.script, {&voices[0], &voices[1], &voices[2], &voices[3], &voices[4], &voices[5], &voices[6]});
}

void ClickVoice(UiContext& engine) {
  std::array<std::string, 2>& voices = engine.ui.clickVoices;
  ReadNames<2>(engine.script, {&voices[0], &voices[1]});
}

void LookbackFlush(UiContext& engine) { engine.text.history.Clear(); }

void LookbackColor(UiContext& engine) {
  engine.ui.lookback.colour = ReadHashColour(engine.script, "lookbackcolorのパラメータは#rrggbbの色指定です。");
}

void LookbackButton(UiContext& engine) {
  Script& script = engine.script;
  LookbackSettings& lookback = engine.ui.lookback;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) script.ExpectComma();
    LoadPicture(engine, lookback.buttons[i], script.ReadString());
  }
  lookback.buttonsGiven = true;
}

void LookbackVoice(UiContext& engine) { engine.ui.lookback.pageTurnVoice = engine.script.ReadString(); }

constexpr UiCommand kUiCommands[] = {
    {"select", CommandGroup::RunOnly, Select},
    {"selgosub", CommandGroup::RunOnly, SelGosub},
    {"selnum", CommandGroup::RunOnly, SelNum},
    {"selectcolor", CommandGroup::DefinitionOnly, SelectColor},
    {"selectvoice", CommandGroup::DefinitionOnly, SelectVoice},
    {"rmenu", CommandGroup::DefinitionOnly, RMenu},
    {"roff", CommandGroup::DefinitionOnly, ROff},
    {"rlookback", CommandGroup::DefinitionOnly, RLookback},
    {"rmode", CommandGroup::RunOnly, RMode},
    {"systemcall", CommandGroup::RunOnly, SystemCall},
    {"reset", CommandGroup::RunOnly, Reset},
    {"menusetwindow", CommandGroup::DefinitionOnly, MenuSetWindow},
    {"menuselectcolor", CommandGroup::DefinitionOnly, MenuSelectColor},
    {"menuselectvoice", CommandGroup::DefinitionOnly, MenuSelectVoice},
    {"clickvoice", CommandGroup::DefinitionOnly, ClickVoice},
    {"lookbackflush", CommandGroup::BothPhases, LookbackFlush},
    {"lookbackcolor", CommandGroup::DefinitionOnly, LookbackColor},
    {"lookbackbutton", CommandGroup::DefinitionOnly, LookbackButton},
    {"lookbackvoice", CommandGroup::DefinitionOnly, LookbackVoice},
    {"inputstr", CommandGroup::RunOnly, InputStr},
    {"inputnum", CommandGroup::RunOnly, InputNum},
};

}  // namespace

std::span<const UiCommand> UiCommands() { return kUiCommands; }

void InitialiseUi(UiContext& engine) {
  engine.ui = UiState{};
  engine.text.rightClickMenu = RightClickMenuHook;
  engine.text.wheelLookback = WheelLookbackHook;
}

}  // namespace velmio
