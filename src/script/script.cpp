#include "script/script.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "base/errors.h"

namespace velmio {

Script::Script() { SetText(""); }

void Script::SetText(std::string text, std::vector<ScenarioFileSpan> files) {
  length_ = static_cast<int32_t>(text.size());
  buffer_.assign(text.begin(), text.end());
  // Readers stop at the NUL; the extra bytes let a reader look one past it without care.
  buffer_.resize(text.size() + 4, '\0');
  files_ = std::move(files);
  position = 0;
  statementStart = 0;
  labels_.clear();
  labelIndex_.clear();
}

void Script::BuildLabelTable() {
  labels_.clear();
  labelIndex_.clear();
  position = 0;
  for (;;) {
    const int32_t start = position;
    unsigned char c = Current();
    if (c == ' ' || c == '\t' || c == '\n') {
      ++position;
    } else if (c == '\0') {
      return;
    } else if (c == '*') {
      statementStart = position;
      std::string name = ReadLabel();
      if (labelIndex_.count(name) != 0) RaiseError("エラー", "ラベル*%sの多重定義です。", name);
      if (labels_.size() >= kMaxLabels) RaiseError("エラー", "ラベルが5000を超えました。");
      // ReadLabel has skipped the blanks after the name.
      if (Current() == '\n') ++position;
      labelIndex_.emplace(name, static_cast<int32_t>(labels_.size()));
      labels_.push_back(Label{position, std::move(name)});
    } else {
      // The rest of a line is never examined; the buffer ends in NUL, so strchr-like scans are safe.
      const char* lineEnd = static_cast<const char*>(memchr(buffer_.data() + position, '\n', length_ - position));
      position = lineEnd != nullptr ? static_cast<int32_t>(lineEnd - buffer_.data()) : length_;
      // A NUL inside a line ends the text as it does for the interpreter.
      const char* nul = static_cast<const char*>(memchr(buffer_.data() + start, '\0', position - start));
      if (nul != nullptr) return;
    }
  }
}

void Script::JumpToLabel(std::string_view name) {
  auto it = labelIndex_.find(LowerAscii(name));
  if (it == labelIndex_.end()) RaiseError("ラベルエラー", "ラベル*%sは存在しません", name);
  position = labels_[it->second].position;
}

bool Script::HasLabel(std::string_view name) const {
  return labelIndex_.count(LowerAscii(name)) != 0;
}

std::string Script::DescribeLocation(int32_t offset) const {
  if (files_.empty()) return "";
  auto after = std::upper_bound(files_.begin(), files_.end(), offset,
                                [](int32_t value, const ScenarioFileSpan& span) { return value < span.start; });
  if (after == files_.begin()) return "";
  const ScenarioFileSpan& file = *(after - 1);
  int32_t end = std::min(offset, length_);
  int line = 1 + static_cast<int>(std::count(buffer_.begin() + file.start, buffer_.begin() + end, '\n'));
  return file.name + ":" + std::to_string(line);
}

// --- Operand readers ---

void Script::SkipBlanks() {
  while (IsBlank(Current())) ++position;
}

void Script::SkipBlanksAndLineFeeds() {
  while (IsBlank(Current()) || Current() == '\n') ++position;
}

void Script::SkipRestOfLine() {
  while (Current() != '\n' && Current() != '\0') ++position;
  if (Current() == '\n') ++position;
}

std::string Script::ReadToken() {
  SkipBlanks();
  std::string token;
  for (;;) {
    unsigned char c = Current();
    c = LowerAsciiByte(c);
    bool take = (c >= 'a' && c <= 'z') || c == '_' || (IsDigit(c) && !token.empty());
    if (!take) break;
    token.push_back(static_cast<char>(c));
    ++position;
    if (token.size() > kMaxTokenLength) RaiseError("命令エラー", "長すぎるトークンです:%s", token);
  }
  SkipBlanks();
  return token;
}

int Script::CheckVariableNumber(int32_t number) {
  if (number < 0 || number >= kVariableCount)
    RaiseError("実行時エラー", "変数番号%dは0から4095の範囲にありません。", std::to_string(number));
  return number;
}

int Script::ExpectVariable(VariableKind kind, std::string_view messageUtf8) {
  SkipBlanks();
  if (Current() != (kind == VariableKind::Number ? '%' : '$')) RaiseError("構文エラー", messageUtf8);
  ++position;
  return ReadVariableNumber();
}

int Script::ReadVariableNumber() { return CheckVariableNumber(ReadNumber()); }

int32_t Script::ReadNumber() {
  SkipBlanks();
  unsigned char c = Current();
  if (c == '%') {
    ++position;
    if (indirectionDepth_ >= kMaxIndirectionDepth)
      RaiseError("構文エラー", "変数の間接指定が深すぎます。%d段までです。", std::to_string(kMaxIndirectionDepth));
    ++indirectionDepth_;
    int variable;
    try {
      variable = ReadVariableNumber();
    } catch (...) {
      --indirectionDepth_;
      throw;
    }
    --indirectionDepth_;
    SkipBlanks();
    return variables.Number(variable);
  }
  if (IsDigit(c) || c == '+' || c == '-') {
    bool negative = c == '-';
    if (c == '+' || c == '-') ++position;
    uint32_t value = 0;
    std::string digits;
    while (IsDigit(Current())) {
      digits.push_back(static_cast<char>(Current()));
      ++position;
      if (digits.size() >= 19) RaiseError("構文エラー", "数字が長すぎます。:%s", digits);
      value = value * 10u + static_cast<uint32_t>(digits.back() - '0');
    }
    if (negative) value = 0u - value;
    SkipBlanks();
    return static_cast<int32_t>(value);
  }
  std::string name = ReadToken();
  const int32_t* value = numberAliases.Find(name);
  if (value == nullptr) RaiseError("構文エラー", "数字がくるべきところに数字がありません。");
  return *value;
}

std::string Script::ReadString() {
  SkipBlanks();
  unsigned char c = Current();
  if (c == '$') {
    ++position;
    int variable = ReadVariableNumber();
    SkipBlanks();
    const std::string& text = variables.String(variable);
    if (text.size() > kMaxStringOperandLength)
      RaiseError("実行時エラー", "文字列変数$%dが255バイトを超えています。", std::to_string(variable));
    return text;
  }
  if (c == '"') {
    ++position;
    std::string text;
    for (;;) {
      unsigned char b = Current();
      if (b == '"') break;
      if (b == '\n' || b == '\0') RaiseError("構文エラー", "文字列中に改行が有ります。");
      text.push_back(static_cast<char>(b));
      ++position;
      if (text.size() > kMaxStringLength) RaiseError("構文エラー", "文字列が長すぎます。:%s", text);
    }
    ++position;
    SkipBlanks();
    return text;
  }
  std::string name = ReadToken();
  const std::string* value = stringAliases.Find(name);
  if (value == nullptr) RaiseError("構文エラー", "文字列が来るべきところに文字列がありません。");
  SkipBlanks();
  return *value;
}

std::string Script::ReadLabel() {
  SkipBlanks();
  unsigned char c = Current();
  if (c == '*') {
    ++position;
    return ReadToken();
  }
  if (c == '"' || c == '$') {
    std::string text = ReadString();
    if (text.empty() || text[0] != '*')
      RaiseError("実行時エラー",
                 "ラベル名を指定すべきところで文字列が代わりに指定されましたが、文字列の先頭が*ではありません。");
    return text.substr(1);
  }
  RaiseError("構文エラー", "ラベル名が来るべきところにラベル名が来ませんでした。");
}

uint32_t ColourFromDigits(std::string_view digits) {
  uint32_t colour = 0;
  for (size_t i = 0; i < 6; ++i) {
    int digit = i < digits.size() ? HexDigitValue(static_cast<unsigned char>(digits[i])) : -1;
    if (digit < 0)
      RaiseError("構文エラー", "カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。");
    colour = colour * 16 + static_cast<uint32_t>(digit);
  }
  return colour;
}

uint32_t Script::ReadColor() {
  // The digits stop at the terminating NUL; the buffer always has one.
  size_t length = 0;
  while (length < 6 && At(position + 1 + static_cast<int32_t>(length)) != 0) ++length;
  const uint32_t colour = ColourFromDigits(std::string_view(&buffer_[position + 1], length));
  position += 7;
  return colour;
}

void Script::ExpectComma() {
  SkipBlanks();
  if (Current() != ',') RaiseError("構文エラー", "コンマが必要なところにコンマが有りません。");
  ++position;
}

int32_t Script::NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

// --- Variables ---

void VariableStore::ClearLimits() {
  lowerLimits.fill(kNoLimit);
  upperLimits.fill(kNoLimit);
  limitedVariables.clear();
}

void VariableStore::SetLimits(int variable, int32_t lower, int32_t upper) {
  lowerLimits[variable] = lower;
  upperLimits[variable] = upper;
  auto it = std::lower_bound(limitedVariables.begin(), limitedVariables.end(), variable);
  bool listed = it != limitedVariables.end() && *it == variable;
  if (upper != kNoLimit && !listed) limitedVariables.insert(it, variable);
  if (upper == kNoLimit && listed) limitedVariables.erase(it);
}

void VariableStore::ApplyIntLimits() {
  for (int variable : limitedVariables) {
    int32_t value = numbers_[variable];
    if (value > upperLimits[variable]) value = upperLimits[variable];
    if (value < lowerLimits[variable]) value = lowerLimits[variable];
    if (value != numbers_[variable]) SetNumber(variable, value);
  }
}

void VariableStore::ClearLocals() {
  for (int i = 0; i < kLocalVariableCount; ++i) {
    numbers_[i] = 0;
    strings_[i].clear();
    MarkWritten(i);
  }
}

void VariableStore::ClearGlobals() {
  for (int i = kLocalVariableCount; i < kVariableCount; ++i) {
    numbers_[i] = 0;
    strings_[i].clear();
  }
}

}  // namespace velmio
