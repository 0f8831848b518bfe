// The scenario commands of the text window and the click waits.
#include <array>

#include "graphics/picture_loader.h"
#include "graphics/present.h"
#include "text/text_commands.h"
#include "base/errors.h"
#include "text/text_context.h"
#include "text/display_text.h"
#include "text/text_window.h"
#include "text/waits.h"

namespace velmio {
namespace {

constexpr size_t kMaxNameLength = 255;  // names are 256-byte fields with their NUL

std::string Limited(std::string text) {
  if (text.size() > kMaxNameLength) text.resize(kMaxNameLength);
  return text;
}

int32_t NextNumber(Script& script) {
  script.ExpectComma();
  return script.ReadNumber();
}

void SetWindow(TextContext& engine) {
  Script& script = engine.script;
  TextState& text = engine.text;
  EraseTextWindowForced(engine);
  ClearTextPage(engine);
  text.history.Clear();

  text.textX = script.ReadNumber();
  text.textY = NextNumber(script);
  text.charsPerLine = NextNumber(script);
  text.lineCount = NextNumber(script);
  if (text.charsPerLine < 0 || text.lineCount < 0)
    RaiseError("エラー", "setwindowの縦横文字数指定が間違っています。");
  text.glyphWidth = NextNumber(script);
  text.glyphHeight = NextNumber(script);
  // The sum wraps as 32-bit values do; the pen is computed in 64 bits from it.
  text.pitchX = static_cast<int32_t>(static_cast<uint32_t>(text.glyphWidth) + static_cast<uint32_t>(NextNumber(script)));
  text.pitchY = static_cast<int32_t>(static_cast<uint32_t>(text.glyphHeight) + static_cast<uint32_t>(NextNumber(script)));
  text.charWait = NextNumber(script);
  text.bold = NextNumber(script);
  text.shadow = NextNumber(script);

  script.ExpectComma();
  script.SkipBlanks();
  TextRect& rect = text.windowRect;
  if (script.Current() == '#') {
    text.windowColour = static_cast<int32_t>(script.ReadColor());
    rect.left = NextNumber(script);
    rect.top = NextNumber(script);
    rect.right = NextNumber(script);
    rect.bottom = NextNumber(script);
    text.windowPicture.Reset();
    text.windowPictureName.clear();
  } else {
    text.windowColour = kTextNoColour;
    text.windowPictureName = Limited(script.ReadString());
    LoadPicture(engine, text.windowPicture, text.windowPictureName);
    rect.left = NextNumber(script);
    rect.top = NextNumber(script);
    rect.right = rect.left + text.windowPicture.DisplayedWidth() - 1;
    rect.bottom = rect.top + text.windowPicture.DisplayedHeight() - 1;
  }
  PresentDisplay(engine);
}

void TextOff(TextContext& engine) { EraseTextWindowForced(engine); }

void TextOn(TextContext& engine) { DisplayText(engine, {}); }

void TextClear(TextContext& engine) {
  engine.text.history.AppendPageMark();
  ClearTextPage(engine);
}

void TextMode(TextContext& engine) {
  int32_t visible = engine.script.ReadNumber();
  if (engine.text.windowShown) EraseTextWindow(engine);
  engine.text.textVisible = visible;
}

void EraseTextWindowCommand(TextContext& engine) { engine.text.eraseWindowMode = engine.script.ReadNumber(); }

void WindowEffectCommand(TextContext& engine) {
  Script& script = engine.script;
  WindowEffect& effect = engine.text.windowEffect;
  effect.type = script.ReadNumber();
  if (effect.type == 1) return;
  effect.duration = NextNumber(script);
  if (effect.type == 15 || effect.type == 18) {
    script.ExpectComma();
    effect.mask = Limited(script.ReadString());
  }
}

void Locate(TextContext& engine) {
  engine.text.column = engine.script.ReadNumber();
  engine.text.line = NextNumber(engine.script);
}

void PutText(TextContext& engine) {
  std::string line = engine.script.ReadString();
  DisplayText(engine, line);
  if (engine.script.resetRequest) engine.ResetToStart();
}

void Br(TextContext& engine) { NewLine(engine); }

// A click wait of its own; the right-click menu stays closed.
void WaitForClick(TextContext& engine) {
  ClickWait(engine, RightClick::Ignore);
  if (engine.script.resetRequest) engine.ResetToStart();
  engine.script.loadRequest = false;
}

void Click(TextContext& engine) { WaitForClick(engine); }

void ClickPos(TextContext& engine) {
  Script& script = engine.script;
  int xVariable = script.ExpectVariable(VariableKind::Number, "clickposの第一引数は数字変数です。");
  script.ExpectComma();
  int yVariable = script.ExpectVariable(VariableKind::Number, "clickposの第ニ引数は数字変数です。");
  WaitForClick(engine);
  script.variables.SetNumber(xVariable, engine.input.clickX);
  script.variables.SetNumber(yVariable, engine.input.clickY);
  script.variables.ApplyIntLimits();
}

void ClickStr(TextContext& engine) {
  Script& script = engine.script;
  engine.text.clickStr = Limited(script.ReadString());
  engine.text.clickStrMargin = NextNumber(script);
}

void Trap(TextContext& engine) {
  Script& script = engine.script;
  script.SkipBlanks();
  if (script.Current() == '*') {
    script.trapLabel = script.ReadLabel();
    engine.messages.RemoveAll(MessageKind::LeftButtonUp);
    engine.messages.RemoveAll(MessageKind::Character);
    return;
  }
  if ((script.Current() | 0x20) == 'o' && LowerAscii(script.ReadToken()) == "off") {
    script.trapLabel.clear();
    return;
  }
  RaiseError("エラー", "trap命令のパラメータは、offもしくは*ラベル名です。");
}

void SetCursorWith(TextContext& engine, bool relative) {
  Script& script = engine.script;
  int32_t which = script.ReadNumber();
  if (which != 0 && which != 1) RaiseError("エラー", "カーソルは０（通常）と１（クリック消去用）です。");
  script.ExpectComma();
  ClickCursor& cursor = engine.text.cursors[which];
  cursor.name = Limited(script.ReadString());
  cursor.offsetX = NextNumber(script);
  cursor.offsetY = NextNumber(script);
  cursor.relative = relative;
  LoadPicture(engine, cursor.layer, cursor.name);
}

void SetCursor(TextContext& engine) { SetCursorWith(engine, true); }
void AbsSetCursor(TextContext& engine) { SetCursorWith(engine, false); }

void TextSpeed(TextContext& engine) { engine.text.charWait = engine.script.ReadNumber(); }

void DefaultSpeed(TextContext& engine) {
  Script& script = engine.script;
  std::array<int32_t, 3>& speeds = engine.text.speedTable;
  speeds[0] = script.ReadNumber();
  speeds[1] = NextNumber(script);
  speeds[2] = NextNumber(script);
}

void DefaultFont(TextContext& engine) { engine.text.configuredFontFace = Limited(engine.script.ReadString()); }

// The end of the definition block: the font chosen there becomes the one the story starts with.
void Game(TextContext& engine) {
  engine.text.defaultFontFace = engine.text.configuredFontFace;
  engine.script.gameStarted = true;
}

constexpr TextCommand kTextCommands[] = {
    {"setwindow", CommandGroup::RunOnly, SetWindow},
    {"textoff", CommandGroup::RunOnly, TextOff},
    {"texton", CommandGroup::RunOnly, TextOn},
    {"textclear", CommandGroup::RunOnly, TextClear},
    {"textmode", CommandGroup::RunOnly, TextMode},
    {"erasetextwindow", CommandGroup::RunOnly, EraseTextWindowCommand},
    {"windoweffect", CommandGroup::BothPhases, WindowEffectCommand},
    {"locate", CommandGroup::RunOnly, Locate},
    {"puttext", CommandGroup::RunOnly, PutText},
    {"br", CommandGroup::RunOnly, Br},
    {"click", CommandGroup::RunOnly, Click},
    {"clickpos", CommandGroup::RunOnly, ClickPos},
    {"clickstr", CommandGroup::DefinitionOnly, ClickStr},
    {"trap", CommandGroup::RunOnly, Trap},
    {"setcursor", CommandGroup::RunOnly, SetCursor},
    {"abssetcursor", CommandGroup::RunOnly, AbsSetCursor},
    {"textspeed", CommandGroup::RunOnly, TextSpeed},
    {"defaultspeed", CommandGroup::DefinitionOnly, DefaultSpeed},
    {"defaultfont", CommandGroup::DefinitionOnly, DefaultFont},
    {"game", CommandGroup::DefinitionOnly, Game},
};

}  // namespace

std::span<const TextCommand> TextCommands() { return kTextCommands; }

}  // namespace velmio
