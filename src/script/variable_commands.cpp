// Assignment, arithmetic, strings, random numbers and the definition-phase variable commands.
#include "base/errors.h"
#include "script/external_values.h"
#include "script/script_commands.h"
#include "script/script_context.h"

namespace velmio {
namespace {

// Wrapping 32-bit arithmetic: the scenario language defines overflow as modulo 2^32.
int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

template <typename Operation>
void Arithmetic(ScriptContext& engine, std::string_view messageUtf8, Operation operation) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, messageUtf8);
  script.ExpectComma();
  int32_t operand = script.ReadNumber();
  script.variables.SetNumber(variable, operation(script.Number(variable), operand));
  script.variables.ApplyIntLimits();
}

void Mov(ScriptContext& engine) {
  Script& script = engine.script;
  script.SkipBlanks();
  const char* message = "movの第一引数は数字／文字変数です。";
  if (script.Current() == '$') {
    int variable = script.ExpectVariable(VariableKind::String, message);
    script.ExpectComma();
    script.variables.SetString(variable, script.ReadString());
    return;
  }
  Arithmetic(engine, message, [](int32_t, int32_t value) { return value; });
}

void Add(ScriptContext& engine) {
  Script& script = engine.script;
  script.SkipBlanks();
  const char* message = "addの第一引数は数字／文字変数です。";
  if (script.Current() == '$') {
    int variable = script.ExpectVariable(VariableKind::String, message);
    script.ExpectComma();
    std::string operand = script.ReadString();
    script.variables.AppendString(variable, operand);
    return;
  }
  Arithmetic(engine, message, [](int32_t a, int32_t b) { return Wrap(int64_t{a} + b); });
}

void Sub(ScriptContext& engine) {
  Arithmetic(engine, "subの第一引数は数字変数です。", [](int32_t a, int32_t b) { return Wrap(int64_t{a} - b); });
}

void Mul(ScriptContext& engine) {
  Arithmetic(engine, "mulの第一引数は数字変数です。", [](int32_t a, int32_t b) { return Wrap(int64_t{a} * b); });
}

void Div(ScriptContext& engine) {
  Arithmetic(engine, "divの第一引数は数字変数です。", [](int32_t a, int32_t b) {
    if (b == 0) RaiseError("０除算エラー", "０で除算しました。");
    return Wrap(int64_t{a} / b);  // truncates toward zero; INT_MIN / -1 wraps to INT_MIN
  });
}

void Mod(ScriptContext& engine) {
  Arithmetic(engine, "modの第一引数は数字変数です。", [](int32_t a, int32_t b) {
    if (b == 0) RaiseError("０除算エラー", "０で剰余演算しました。");
    return Wrap(int64_t{a} % b);  // takes the sign of the dividend
  });
}

void Step(ScriptContext& engine, std::string_view messageUtf8, int32_t delta) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, messageUtf8);
  script.variables.SetNumber(variable, Wrap(int64_t{script.Number(variable)} + delta));
  script.variables.ApplyIntLimits();
}

void Inc(ScriptContext& engine) { Step(engine, "incの引数は数字変数です。", 1); }
void Dec(ScriptContext& engine) { Step(engine, "decの引数は数字変数です。", -1); }

void Rnd(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, "rndの第一引数は数字変数です。");
  script.ExpectComma();
  int32_t range = script.ReadNumber();
  if (range == 0) RaiseError("０除算エラー", "０で剰余演算しました。");
  script.variables.SetNumber(variable, Wrap(int64_t{script.NextRandom()} % range));
  script.variables.ApplyIntLimits();
}

void Rnd2(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, "rnd2の第一引数は数字変数です。");
  script.ExpectComma();
  int32_t low = script.ReadNumber();
  script.ExpectComma();
  int32_t high = script.ReadNumber();
  int64_t range = int64_t{high} - low + 1;
  // A range that is empty or reversed has no value to give.
  if (range <= 0) RaiseError("０除算エラー", "０で剰余演算しました。");
  script.variables.SetNumber(variable, Wrap(low + int64_t{script.NextRandom()} % range));
  script.variables.ApplyIntLimits();
}

void Len(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, "lenの第一引数は数字変数です。");
  script.ExpectComma();
  script.variables.SetNumber(variable, static_cast<int32_t>(script.ReadString().size()));
}

void Cmp(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::Number, "cmpの第一引数は数字変数です。");
  script.ExpectComma();
  std::string first = script.ReadString();
  script.ExpectComma();
  std::string second = script.ReadString();
  int order = first.compare(second);  // std::string compares as unsigned char
  script.variables.SetNumber(variable, order == 0 ? 0 : (order < 0 ? -1 : 1));
}

void GetReg(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::String, "getregの第一引数は文字変数です。");
  script.ExpectComma();
  std::string key = script.ReadString();
  script.ExpectComma();
  std::string name = script.ReadString();
  script.variables.SetString(variable, ReadRegistryValue(key, name));
}

void GetIni(ScriptContext& engine) {
  Script& script = engine.script;
  int variable = script.ExpectVariable(VariableKind::String, "getiniの第一引数は文字変数です。");
  script.ExpectComma();
  std::string file = script.ReadString();
  script.ExpectComma();
  std::string section = script.ReadString();
  script.ExpectComma();
  std::string key = script.ReadString();
  script.variables.SetString(variable, ReadProfileValue(file, section, key));
}

void IntLimit(ScriptContext& engine) {
  Script& script = engine.script;
  int32_t variable = script.ReadNumber();
  script.ExpectComma();
  int32_t lower = script.ReadNumber();
  script.ExpectComma();
  int32_t upper = script.ReadNumber();
  script.variables.SetLimits(Script::CheckVariableNumber(variable), lower, upper);
}

void NumAlias(ScriptContext& engine) {
  Script& script = engine.script;
  if (script.numberAliases.Full()) RaiseError("エラー", "数字エイリアスが多すぎます。");
  std::string name = script.ReadToken();
  script.ExpectComma();
  int32_t value = script.ReadNumber();
  if (!script.numberAliases.Add(name, value))
    RaiseError("エラー", "数字エイリアス%sが二重定義されています。", name);
}

void StrAlias(ScriptContext& engine) {
  Script& script = engine.script;
  if (script.stringAliases.Full()) RaiseError("エラー", "文字列エイリアスが多すぎます。");
  std::string name = script.ReadToken();
  script.ExpectComma();
  std::string value = script.ReadString();
  if (!script.stringAliases.Add(name, std::move(value)))
    RaiseError("エラー", "文字列エイリアス%sが二重定義されています。", name);
}

}  // namespace

std::span<const ScriptCommand> VariableCommands() {
  static constexpr ScriptCommand kCommands[] = {
      {"mov", CommandGroup::BothPhases, Mov},
      {"add", CommandGroup::BothPhases, Add},
      {"sub", CommandGroup::BothPhases, Sub},
      {"mul", CommandGroup::BothPhases, Mul},
      {"div", CommandGroup::BothPhases, Div},
      {"mod", CommandGroup::BothPhases, Mod},
      {"inc", CommandGroup::BothPhases, Inc},
      {"dec", CommandGroup::BothPhases, Dec},
      {"rnd", CommandGroup::BothPhases, Rnd},
      {"rnd2", CommandGroup::BothPhases, Rnd2},
      {"len", CommandGroup::BothPhases, Len},
      {"cmp", CommandGroup::BothPhases, Cmp},
      {"getreg", CommandGroup::BothPhases, GetReg},
      {"getini", CommandGroup::BothPhases, GetIni},
      {"intlimit", CommandGroup::DefinitionOnly, IntLimit},
      {"numalias", CommandGroup::DefinitionOnly, NumAlias},
      {"stralias", CommandGroup::DefinitionOnly, StrAlias},
  };
  return kCommands;
}

}  // namespace velmio
