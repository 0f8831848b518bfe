// Jumps, subroutines, line skips, conditions, and the two commands that end a phase.
#include "base/errors.h"
#include "files/picture_log.h"
#include "script/script_commands.h"
#include "script/script_context.h"

namespace velmio {
namespace {

void Goto(ScriptContext& engine) {
  Script& script = engine.script;
  std::string label = script.ReadLabel();
  script.JumpToLabel(label);
}

void Gosub(ScriptContext& engine) {
  Script& script = engine.script;
  if (script.gosubDepth > kGosubDepth - 1) RaiseError("スタックエラー", "gosub文のせいでスタックが溢れました。");
  std::string label = script.ReadLabel();
  script.gosubStack[script.gosubDepth++] = script.position;
  script.JumpToLabel(label);
}

void Return(ScriptContext& engine) {
  Script& script = engine.script;
  if (script.gosubDepth == 0) RaiseError("スタックエラー", "returnとgosub文が正しく対応していません。");
  script.position = script.gosubStack[--script.gosubDepth];
}

[[noreturn]] void SkipOutOfRange() { RaiseError("構文エラー", "SKIPがスクリプトの範囲を飛び出しました。"); }

void Skip(ScriptContext& engine) {
  Script& script = engine.script;
  int32_t count = script.ReadNumber();
  if (count == 0) return;
  if (count > 0) {
    for (int32_t i = 0; i < count; ++i) {
      while (script.Current() != '\n') {
        if (script.Current() == '\0') SkipOutOfRange();
        ++script.position;
      }
      ++script.position;
    }
    return;
  }
  if (script.Current() == '\n' && script.position > 0) --script.position;
  // Walk back over 1 - n line feeds, counting the current line. The first line of the scenario
  // has no line feed before it; reaching offset 0 on the last step lands on that line.
  const int64_t steps = 1 - int64_t{count};
  for (int64_t i = 0; i < steps; ++i) {
    bool last = i == steps - 1;
    while (script.Current() != '\n') {
      if (script.position == 0) {
        if (last) return;
        SkipOutOfRange();
      }
      --script.position;
    }
    if (script.position == 0) {
      if (last) return;
      SkipOutOfRange();
    }
    --script.position;
  }
  ++script.position;
}

// One comparison of `if`/`notif`.
bool EvaluateComparison(ScriptContext& engine) {
  Script& script = engine.script;
  script.SkipBlanks();
  if (script.Current() == 'f') {
    int32_t start = script.position;
    std::string word = script.ReadToken();
    if (word != "fchk") {
      script.position = start;
      RaiseError("エラー", "if条件式が間違っています。");
    }
    if (script.phase == Phase::Definition) RaiseError("エラー", "fchk条件式は、定義ブロックでは使えません。");
    std::string name = script.ReadString();
    return PictureLogged(engine.pictureLog, name);
  }
  int32_t left = script.ReadNumber();
  script.SkipBlanks();
  unsigned char first = script.Current();
  unsigned char second = script.At(script.position + 1);
  enum class Relation { Equal, NotEqual, Greater, GreaterOrEqual, Less, LessOrEqual } relation;
  int length = 1;
  if (first == '=') {
    relation = Relation::Equal;
    if (second == '=') length = 2;
  } else if (first == '!' && second == '=') {
    relation = Relation::NotEqual;
    length = 2;
  } else if (first == '<' && second == '>') {
    relation = Relation::NotEqual;
    length = 2;
  } else if (first == '>') {
    relation = second == '=' ? Relation::GreaterOrEqual : Relation::Greater;
    if (second == '=') length = 2;
  } else if (first == '<') {
    relation = second == '=' ? Relation::LessOrEqual : Relation::Less;
    if (second == '=') length = 2;
  } else {
    RaiseError("エラー", "if条件式が間違っています。");
  }
  script.position += length;
  int32_t right = script.ReadNumber();
  switch (relation) {
    case Relation::Equal: return left == right;
    case Relation::NotEqual: return left != right;
    case Relation::Greater: return left > right;
    case Relation::GreaterOrEqual: return left >= right;
    case Relation::Less: return left < right;
    case Relation::LessOrEqual: return left <= right;
  }
  return false;
}

enum class RunsWhen { AllHold, NoneHolds };

void Condition(ScriptContext& engine, RunsWhen runsWhen) {
  Script& script = engine.script;
  for (;;) {
    bool result = EvaluateComparison(engine);
    bool decisive = runsWhen == RunsWhen::AllHold ? !result : result;
    if (decisive) {
      script.SkipRestOfLine();
      return;
    }
    script.SkipBlanks();
    if (script.Current() != '&') return;  // the rest of the line runs
    while (script.Current() == '&') ++script.position;
  }
}

void If(ScriptContext& engine) { Condition(engine, RunsWhen::AllHold); }
void NotIf(ScriptContext& engine) { Condition(engine, RunsWhen::NoneHolds); }

void DefineReset(ScriptContext& engine) { engine.script.reinitRequested = true; }

}  // namespace

std::span<const ScriptCommand> FlowCommands() {
  static constexpr ScriptCommand kCommands[] = {
      {"goto", CommandGroup::BothPhases, Goto},
      {"gosub", CommandGroup::BothPhases, Gosub},
      {"return", CommandGroup::BothPhases, Return},
      {"skip", CommandGroup::BothPhases, Skip},
      {"if", CommandGroup::BothPhases, If},
      {"notif", CommandGroup::BothPhases, NotIf},
      {"definereset", CommandGroup::BothPhases, DefineReset},
  };
  return kCommands;
}

}  // namespace velmio
