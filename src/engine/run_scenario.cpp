#include "engine/run_scenario.h"

#include "base/errors.h"
#include "engine/command_table.h"
#include "engine/interpreter.h"
#include "engine/reset.h"
#include "persist/state_record.h"
#include "text/display_text.h"

namespace velmio {
namespace {

constexpr size_t kMaxTextLine = 527;  // the expanded line plus its NUL fill a 528-byte buffer
// Statements between two looks at the platform: often enough for the trap and the window to
// react within a millisecond or so, rarely enough to keep tight loops fast.
constexpr unsigned kStatementsPerYield = 256;

void AppendFullWidthNumber(std::string& line, int32_t value) {
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  if (value < 0) line += "\x81\x7C";  // full-width minus
  std::string digits = std::to_string(magnitude);
  for (char digit : digits) {
    line.push_back('\x82');
    line.push_back(static_cast<char>(0x4F + (digit - '0')));
  }
}

void ServeTrap(Interpreter& engine) {
  Script& script = engine.script;
  if (script.trapLabel.empty()) return;
  bool taken = engine.messages.RemoveFirst(MessageKind::LeftButtonUp);
  if (!taken && engine.input.clickFlag) {
    engine.input.clickFlag = false;
    taken = true;
  }
  if (!taken) return;
  std::string label = std::move(script.trapLabel);
  script.trapLabel.clear();
  script.JumpToLabel(label);
}

}  // namespace

std::string ExpandTextLine(Script& script) {
  std::string line;
  const int32_t start = script.position;
  for (;;) {
    unsigned char c = script.Current();
    if (c == '\n' || c == '\0') break;
    // An inline command such as !w%5 keeps its % for DisplayText.
    bool afterBang = script.position - start >= 2 && script.At(script.position - 2) == '!';
    if (c == '$') {
      line += script.ReadString();
    } else if (c == '%' && !afterBang) {
      AppendFullWidthNumber(line, script.ReadNumber());
    } else {
      line.push_back(static_cast<char>(c));
      ++script.position;
    }
    if (line.size() > kMaxTextLine) {
      RaiseError("構文エラー", "表示文が長すぎます。展開後527バイトまでです。");
    }
  }
  return line;
}

void RunScenario(Interpreter& engine, Phase phase) {
  Script& script = engine.script;
  script.phase = phase;
  if (phase == Phase::Definition) {
    script.JumpToLabel("define");
    script.trapLabel.clear();
    script.gameStarted = false;
  }
  script.SkipBlanks();
  unsigned statementsSinceYield = 0;
  while (!script.reinitRequested) {
    if (++statementsSinceYield >= kStatementsPerYield) {
      statementsSinceYield = 0;
      engine.platform.YieldSlice();
      engine.platform.CollectEvents(engine.messages);
    }
    ServeTrap(engine);

    script.statementStart = script.position;
    unsigned char c = script.Current();
    // On an empty page the save point follows the statements: a text line retakes it here, a
    // command in ExecuteCommand (which leaves out those that neither touch the page nor save).
    const bool pageEmpty = phase == Phase::Run && engine.text.column == 0 && engine.text.line == 0;
    if (c == '\0') RaiseError("スクリプトエラー", "ファイルの終端に達しました。");
    if (c == ' ' || c == '\t' || c == '\n' || c == ':') {
      ++script.position;
    } else if (c == '*' || c == ';') {
      while (script.Current() != '\n' && script.Current() != '\0') ++script.position;
    } else if (IsAsciiLetter(c) || c == '_') {
      std::string name = script.ReadToken();
      ExecuteCommand(engine, name, pageEmpty ? SavePoint::RetakeFirst : SavePoint::Keep);
      if (phase == Phase::Definition && script.gameStarted) return;
    } else {
      if (phase == Phase::Definition)
        RaiseError("定義ブロックエラー", "*defineブロックには、表示文はおけません。");
      if (pageEmpty) TakeSnapshot(engine);
      std::string line = ExpandTextLine(script);
      engine.log.WriteShiftJis("TEXT", line);
      DisplayText(engine, line);
      if (script.resetRequest) ResetToStart(engine);
    }
  }
}

}  // namespace velmio
