#include "ui/input_dialogs.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/encoding.h"
#include "shell/window_procedure.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

constexpr size_t kMaxAnswer = 255;

struct DialogRequest {
  DialogLabels labels;  // UTF-8, for the platform
  int32_t maximumLength = kNumberInput;
  FullWidthOnly fullWidth = FullWidthOnly::No;
};

void ReadPrompt(Script& script, DialogRequest& request) {
  script.ExpectComma();
  request.labels.prompt = ShiftJisToUtf8(script.ReadString());
}

// The four optional sizes (points) shape the drawn dialog.
void ReadSizes(Script& script, DialogLabels& labels) {
  script.SkipBlanks();
  if (script.Current() != ',') return;
  for (int* size : {&labels.dialogWidth, &labels.dialogHeight, &labels.editWidth, &labels.editHeight}) {
    script.ExpectComma();
    *size = script.ReadNumber();
  }
}

// Asks until an answer passes the checks. The answers come from the platform (the input
// script's `text` lines); a text the engine cannot hold in Shift JIS is refused like any other.
std::string RunDialog(UiContext& engine, DialogRequest& request) {
  const char* caption = request.maximumLength == kNumberInput ? "数値入力" : "文字列入力";
  const std::string title = Sjis(caption);
  request.labels.caption = caption;
  engine.platform.PlayerWaitStarted();
  for (;;) {
    std::string typed;
    if (!engine.platform.TakeDialogText(request.labels, typed)) {
      if (!engine.PumpOneMessage()) engine.platform.Idle(20, WaitKind::Player);
      continue;
    }
    std::string answer = Utf8ToShiftJis(typed);
    std::string refusal;
    if (ShiftJisToUtf8(answer) != typed) {
      refusal = "Shift JIS で表せない文字は入力できません。";
    } else {
      if (answer.size() > kMaxAnswer) answer.resize(kMaxAnswer);
      refusal = RefusalOf(answer, request.maximumLength, request.fullWidth);
    }
    if (refusal.empty()) {
      engine.platform.CloseDialog();
      return answer;
    }
    ShowMessageBox(engine, Sjis(refusal), title, MessageBoxStyle::Ok);
  }
}

}  // namespace

std::string RefusalOf(std::string_view answer, int32_t maximumLength, FullWidthOnly fullWidth) {
  if (maximumLength == kNumberInput) {
    for (size_t i = 0; i < answer.size(); ++i) {
      const char c = answer[i];
      if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-')) return "数値を入力してください。";
    }
    return "";
  }
  if (answer.empty()) return "文字列を入力してください。";
  if (static_cast<int64_t>(answer.size()) > maximumLength) return "文字列が長すぎます。";
  if (fullWidth == FullWidthOnly::Yes) {
    for (size_t i = 0; i < answer.size(); i += 2) {
      if (!IsLeadByte(static_cast<unsigned char>(answer[i]))) return "全て全角文字で入力してください。";
    }
  }
  return "";
}

void InputStr(UiContext& engine) {
  Script& script = engine.script;
  const int variable = script.ExpectVariable(VariableKind::String, "inputstrの第一引数は文字変数です。");
  DialogRequest request;
  ReadPrompt(script, request);
  script.ExpectComma();
  request.maximumLength = script.ReadNumber();
  script.ExpectComma();
  request.fullWidth = script.ReadNumber() != 0 ? FullWidthOnly::Yes : FullWidthOnly::No;
  ReadSizes(script, request.labels);
  script.variables.SetString(variable, RunDialog(engine, request));
}

void InputNum(UiContext& engine) {
  Script& script = engine.script;
  const int variable = script.ExpectVariable(VariableKind::Number, "inputnumの第一引数は数字変数です。");
  DialogRequest request;
  ReadPrompt(script, request);
  ReadSizes(script, request.labels);
  const std::string answer = RunDialog(engine, request);
  // Digits beyond what 32 bits hold saturate, as the standard conversion does.
  const long long value = std::strtoll(answer.c_str(), nullptr, 10);
  script.variables.SetNumber(variable, static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX)));
}

}  // namespace velmio
