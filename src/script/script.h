#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/ascii.h"

namespace velmio {

enum class Phase : uint8_t { Definition, Run };
enum class VariableKind : uint8_t { Number, String };

constexpr int32_t kScriptBufferSize = 5242880;  // the scenario plus its NUL must fit
constexpr int kMaxLabels = 5000;
constexpr int kVariableCount = 4096;
constexpr int kLocalVariableCount = 200;  // 0..199 belong to one play-through
constexpr int kMaxAliases = 4096;
constexpr int kGosubDepth = 1000;
constexpr size_t kMaxTokenLength = 254;
// `%%%5` reads variable 5, then the variable it names, and so on; no game nests more than a few
// levels, and the readers recurse once per level, so a hostile chain must stop long before the stack.
constexpr int kMaxIndirectionDepth = 64;
constexpr size_t kMaxStringLength = 254;       // a string literal
constexpr size_t kMaxStringOperandLength = 255;  // a string variable used as an operand
constexpr int32_t kNoLimit = -1;

struct Label {
  int32_t position = 0;
  std::string name;  // lower case, without '*'
};

// Where each scenario file begins in the buffer, so that errors can name "3.txt:120".
struct ScenarioFileSpan {
  int32_t start = 0;
  std::string name;
};

// One bit per local variable (0..199).
using LocalVariableMarks = std::array<uint64_t, (kLocalVariableCount + 63) / 64>;

class VariableStore {
 public:
  VariableStore() { ClearLimits(); }

  int32_t Number(int variable) const { return numbers_[variable]; }
  const std::string& String(int variable) const { return strings_[variable]; }
  // Values change only here, so that every write of a local variable is marked.
  void SetNumber(int variable, int32_t value) {
    numbers_[variable] = value;
    MarkWritten(variable);
  }
  void SetString(int variable, std::string_view text) {
    strings_[variable].assign(text);
    MarkWritten(variable);
  }
  void AppendString(int variable, std::string_view text) {
    strings_[variable].append(text);
    MarkWritten(variable);
  }

  // The local variables written since the marks were last forgotten. The save-point snapshot
  // is retaken on every statement of an empty page and rewrites only these.
  const LocalVariableMarks& WrittenLocals() const { return writtenLocals_; }
  void ForgetWrittenLocals() { writtenLocals_ = {}; }

  void ClearLimits();
  void SetLimits(int variable, int32_t lower, int32_t upper);
  void ApplyIntLimits();
  void ClearLocals();
  void ClearGlobals();

  std::array<int32_t, kVariableCount> lowerLimits;
  std::array<int32_t, kVariableCount> upperLimits;
  // Variables whose upper limit is set, in increasing order: the limit pass after every
  // assignment visits only these instead of all 4096.
  std::vector<int> limitedVariables;

 private:
  void MarkWritten(int variable) {
    if (variable < kLocalVariableCount) writtenLocals_[variable / 64] |= uint64_t{1} << (variable % 64);
  }

  std::array<int32_t, kVariableCount> numbers_{};
  std::array<std::string, kVariableCount> strings_;
  LocalVariableMarks writtenLocals_{};
};

template <typename Value>
class AliasTable {
 public:
  // False when the name is already defined.
  bool Add(const std::string& name, Value value) {
    if (!index_.emplace(name, static_cast<int>(entries_.size())).second) return false;
    entries_.push_back(std::move(value));
    return true;
  }
  const Value* Find(const std::string& name) const {
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : &entries_[it->second];
  }
  bool Full() const { return entries_.size() >= kMaxAliases; }
  void Clear() {
    entries_.clear();
    index_.clear();
  }

 private:
  std::vector<Value> entries_;
  std::unordered_map<std::string, int> index_;
};

// The scenario in memory and everything that reads it: read position, labels, operand readers,
// variables and aliases. Every reader works at `position` and leaves it after what it read;
// malformed input ends the program through ReportError.
// The colour of six hexadecimal digits as 0xRRGGBB; anything else is the colour error of the
// operand reader (fewer than six bytes included).
uint32_t ColourFromDigits(std::string_view digits);

class Script {
 public:
  Script();

  // --- Buffer and labels ---
  // Replaces the buffer with `text` (a NUL is added); `files` tell where each file begins.
  void SetText(std::string text, std::vector<ScenarioFileSpan> files = {});
  const char* Text() const { return buffer_.data(); }
  int32_t Length() const { return length_; }
  unsigned char At(int32_t offset) const { return static_cast<unsigned char>(buffer_[offset]); }
  unsigned char Current() const { return At(position); }
  void BuildLabelTable();
  void JumpToLabel(std::string_view name);
  bool HasLabel(std::string_view name) const;
  const std::vector<Label>& Labels() const { return labels_; }
  // "3.txt:120" for a buffer offset, or "" when the scenario came from no named file.
  std::string DescribeLocation(int32_t offset) const;

  // --- Operand readers ---
  void SkipBlanks();
  void SkipBlanksAndLineFeeds();
  std::string ReadToken();
  int32_t ReadNumber();
  std::string ReadString();
  std::string ReadLabel();
  uint32_t ReadColor();  // position at '#'; reads '#' and six hex digits
  void ExpectComma();
  // The number after a '%' or '$' that names a variable, range-checked.
  int ReadVariableNumber();
  // A first operand that must be a variable: blanks, then '%' (number) or '$' (string) and the
  // variable's number. Any other character is a syntax error with the command's own message.
  int ExpectVariable(VariableKind kind, std::string_view messageUtf8);
  // Refuses a variable number outside 0..4095 with a fatal error; returns it otherwise.
  static int CheckVariableNumber(int32_t number);
  // Steps to just after the next line feed, or onto the NUL that ends the text.
  void SkipRestOfLine();

  // --- Variables ---
  int32_t Number(int variable) const { return variables.Number(variable); }
  const std::string& String(int variable) const { return variables.String(variable); }

  int32_t position = 0;   // the ReadPosition
  int32_t statementStart = 0;  // where the statement being executed began (for error locations)
  Phase phase = Phase::Definition;
  VariableStore variables;
  AliasTable<int32_t> numberAliases;
  AliasTable<std::string> stringAliases;

  std::array<int32_t, kGosubDepth> gosubStack{};
  int gosubDepth = 0;

  uint32_t randomState = 0;
  int32_t NextRandom();  // 0..32767

  bool gameStarted = false;
  bool reinitRequested = false;
  bool resetRequest = false;
  bool loadRequest = false;  // a game was loaded from the right-click menu during a wait
  std::string trapLabel;

 private:
  std::vector<char> buffer_;
  int32_t length_ = 0;
  std::vector<ScenarioFileSpan> files_;
  std::vector<Label> labels_;
  std::unordered_map<std::string, int32_t> labelIndex_;
  int indirectionDepth_ = 0;
};

// Lower-cases A to Z only, as the scenario language folds case.
constexpr bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
constexpr bool IsDigit(unsigned char c) { return IsAsciiDigit(c); }
constexpr bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

}  // namespace velmio
