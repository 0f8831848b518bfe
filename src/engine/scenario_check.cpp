#include "engine/scenario_check.h"

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "base/encoding.h"
#include "base/errors.h"
#include "engine/command_table.h"
#include "engine/run_scenario.h"
#include "engine/scenario_check_operands.h"
#include "files/archive_reader.h"
#include "files/file_reading.h"
#include "files/game_file_lookup.h"
#include "graphics/display_tag.h"
#include "script/scenario_loader.h"

namespace velmio {
namespace {

// More than this many problems are counted but not listed: the first ones are what an author
// fixes first, and listing them all would take long on a huge broken scenario.
constexpr size_t kMostListed = 500;

enum class CheckPhase : uint8_t { Definition, Run, Unreached };
enum class Flow : uint8_t { Continues, Stops };
enum class FileKind : uint8_t { Picture, Sound };

// A problem the checker finds itself, as opposed to an error an operand reader raises.
struct OperandProblem {
  std::string text;
};

// Keeps what an operand reader reports instead of showing it; the reader then throws ProgramEnd.
class KeptError : public ErrorReporter {
 public:
  void ShowFatalError(std::string_view title, std::string_view message) override {
    text = ShiftJisToUtf8(title) + ": " + ShiftJisToUtf8(message);
  }
  std::string text;
};

class ScenarioChecker {
 public:
  ScenarioChecker() { InstallErrorReporter(&kept_); }
  ~ScenarioChecker() { InstallErrorReporter(nullptr); }
  ScenarioChecker(const ScenarioChecker&) = delete;
  ScenarioChecker& operator=(const ScenarioChecker&) = delete;

  ScenarioCheck Run();

 private:
  void Walk(int32_t start, CheckPhase phase);
  void Sweep();
  // Checks the statement at `script_.position` and leaves the position after it.
  Flow Statement(CheckPhase phase);
  Flow Command(const std::string& name, CheckPhase phase);
  void Operands(std::string_view signature, size_t& at, char end);
  void Operand(char kind);
  std::optional<std::string> Label();
  void FileOperand(FileKind kind);
  void CheckFile(const std::string& name, FileKind kind);
  bool InArchives(const std::string& name);
  void Condition(CheckPhase phase);
  void Choices(bool withVariable);
  void Alias(VariableKind kind);
  void Background();
  Flow Skip(CheckPhase phase);
  void Follow(int32_t position, CheckPhase phase) { pending_.emplace_back(position, phase); }
  void Problem(int32_t offset, std::string text) { problems_.emplace(offset, std::move(text)); }
  [[noreturn]] static void Refuse(std::string text) { throw OperandProblem{std::move(text)}; }

  Script script_;
  KeptError kept_;
  std::set<std::pair<int32_t, std::string>> problems_;
  std::vector<std::string> general_;  // problems of the scenario as a whole
  std::vector<std::pair<int32_t, CheckPhase>> pending_;
  std::vector<uint8_t> visited_;                   // per offset: bit 0 definition, bit 1 run
  std::unordered_map<int32_t, int32_t> statementEnd_;
  std::unordered_map<std::string, bool> fileFound_;
  std::vector<std::string> archives_;  // "archive|reader" entries of `arc`
  bool archivesUnknown_ = false;       // a computed `arc` entry: its archive is unknown
  CheckPhase phase_ = CheckPhase::Unreached;  // of the statement being checked
};

ScenarioCheck ScenarioChecker::Run() {
  ScenarioCheck check;
  try {
    ScenarioLoad load = LoadScenario(script_);
    if (!load.found) general_.push_back(DescribeMissingScenario());
    for (const std::string& name : load.utf8Files)
      general_.push_back(name + ": UTF-8 text, but scenarios are read as Shift JIS: its Japanese text shows garbled");
    script_.BuildLabelTable();
  } catch (const ProgramEnd&) {
    general_.push_back(kept_.text);
  }
  if (general_.empty() || script_.Length() > 0) {
    visited_.assign(static_cast<size_t>(script_.Length()) + 1, 0);
    for (const char* label : {"define", "start"}) {
      if (!script_.HasLabel(label)) general_.push_back(std::string("label *") + label + " does not exist");
    }
    if (script_.HasLabel("define")) {
      script_.JumpToLabel("define");
      Walk(script_.position, CheckPhase::Definition);
    }
    if (script_.HasLabel("start")) {
      script_.JumpToLabel("start");
      Walk(script_.position, CheckPhase::Run);
    }
    Sweep();
  }
  check.report = general_;
  check.problems = static_cast<int>(general_.size() + problems_.size());
  for (const auto& [offset, text] : problems_) {
    if (check.report.size() >= kMostListed) break;
    std::string location = script_.DescribeLocation(offset);
    check.report.push_back((location.empty() ? "" : location + ": ") + text);
  }
  if (check.report.size() < static_cast<size_t>(check.problems))
    check.report.push_back("... (" + std::to_string(check.problems - check.report.size()) + " more)");
  check.report.push_back(check.problems == 0 ? "no problems"
                         : check.problems == 1 ? "1 problem"
                                               : std::to_string(check.problems) + " problems");
  return check;
}

// Follows the statements from `start` as the engine runs them in `phase`, and every jump they
// can take, until each path ends or meets statements already walked in this phase.
void ScenarioChecker::Walk(int32_t start, CheckPhase phase) {
  const uint8_t bit = phase == CheckPhase::Definition ? 1 : 2;
  Follow(start, phase);
  while (!pending_.empty()) {
    auto [position, pathPhase] = pending_.back();
    pending_.pop_back();
    (void)pathPhase;  // the paths of one walk share its phase
    script_.position = position;
    int32_t last = position;  // the statement a run off the end comes from
    for (;;) {
      unsigned char c = script_.Current();
      if (c == '\0') {
        // After a statement that is wrong already, running on is only what its error hides.
        auto reported = problems_.lower_bound({last, std::string()});
        if (reported == problems_.end() || reported->first != last)
          Problem(last, "the scenario runs past its end after this statement (no end or jump)");
        break;
      }
      if (c == ' ' || c == '\t' || c == '\n' || c == ':') {
        ++script_.position;
        continue;
      }
      if (c == '*' || c == ';') {
        script_.SkipRestOfLine();
        continue;
      }
      uint8_t& seen = visited_[static_cast<size_t>(script_.position)];
      if ((seen & bit) != 0) break;
      seen |= bit;
      last = script_.position;
      if (Statement(phase) == Flow::Stops) break;
    }
  }
}

// Statements that no path reached (only computed jumps lead there, or none): checked in order,
// without a phase.
void ScenarioChecker::Sweep() {
  script_.position = 0;
  for (;;) {
    unsigned char c = script_.Current();
    if (c == '\0') return;
    if (c == ' ' || c == '\t' || c == '\n' || c == ':') {
      ++script_.position;
    } else if (c == '*' || c == ';') {
      script_.SkipRestOfLine();
    } else if (visited_[static_cast<size_t>(script_.position)] != 0) {
      script_.position = statementEnd_[script_.position];
    } else {
      Statement(CheckPhase::Unreached);
      pending_.clear();  // its jumps lead to statements this sweep reaches anyway
    }
  }
}

Flow ScenarioChecker::Statement(CheckPhase phase) {
  const int32_t start = script_.position;
  script_.statementStart = start;
  phase_ = phase;
  Flow flow = Flow::Continues;
  try {
    unsigned char c = script_.Current();
    if (IsAsciiLetter(c) || c == '_') {
      flow = Command(script_.ReadToken(), phase);
    } else {
      if (phase == CheckPhase::Definition) Refuse("story text in the definition block (before game)");
      ExpandTextLine(script_);
    }
  } catch (const ProgramEnd&) {
    Problem(start, kept_.text);
    script_.SkipRestOfLine();
  } catch (const OperandProblem& problem) {
    Problem(start, problem.text);
    script_.SkipRestOfLine();
  }
  // Never stuck: a statement always moves on.
  if (script_.position <= start) script_.SkipRestOfLine();
  statementEnd_[start] = script_.position;
  return flow;
}

Flow ScenarioChecker::Command(const std::string& name, CheckPhase phase) {
  std::optional<CommandGroup> group = CommandGroupOf(name);
  std::optional<std::string_view> signature = OperandSignature(name);
  if (!group || !signature) Refuse("unknown command \"" + name + "\"");
  if (phase == CheckPhase::Run && *group == CommandGroup::DefinitionOnly)
    Problem(script_.statementStart, "\"" + name + "\" works only in the definition block (*define to game)");
  if (phase == CheckPhase::Definition && *group == CommandGroup::RunOnly)
    Problem(script_.statementStart, "\"" + name + "\" does not work in the definition block (*define to game)");
  if (*signature == "!") {
    if (name == "mov" || name == "add") {
      script_.SkipBlanks();
      char kind = static_cast<char>(script_.Current());
      if (kind != '%' && kind != '$') Refuse("\"" + name + "\" needs a variable (%n or $n) first");
      Operand(kind == '%' ? 'v' : 'V');
      script_.ExpectComma();
      Operand(kind == '%' ? 'n' : 's');
    } else if (name == "if" || name == "notif") {
      Condition(phase);
      // The rest of the line runs or not: both ways go on.
      int32_t here = script_.position;
      script_.SkipRestOfLine();
      Follow(script_.position, phase);
      script_.position = here;
    } else if (name == "select" || name == "selgosub") {
      Choices(false);
    } else if (name == "selnum") {
      Choices(true);
    } else if (name == "numalias") {
      Alias(VariableKind::Number);
    } else if (name == "stralias") {
      Alias(VariableKind::String);
    } else if (name == "bg") {
      Background();
    } else if (name == "arc") {
      script_.SkipBlanks();
      bool computed = script_.Current() == '$';
      std::string entry = script_.ReadString();
      if (computed) archivesUnknown_ = true;
      else archives_.push_back(entry);
    }
  } else {
    size_t at = 0;
    Operands(*signature, at, '\0');
  }
  if (name == "skip") return Skip(phase);
  if (name == "goto" || name == "return" || name == "end" || name == "select" || name == "definereset" ||
      name == "reset" || (name == "game" && phase == CheckPhase::Definition))
    return Flow::Stops;
  return Flow::Continues;
}

// Reads the operands of `signature` from `at` up to the character `end`, leaving `at` on it.
void ScenarioChecker::Operands(std::string_view signature, size_t& at, char end) {
  // The end of a bracketed part that is not taken.
  auto skipGroup = [&signature](size_t& position, char close) {
    int depth = 0;
    for (; position < signature.size(); ++position) {
      char c = signature[position];
      if (c == '[' || c == '{' || c == '(') ++depth;
      if (c == ']' || c == '}' || c == ')') {
        if (depth == 0 && c == close) return;
        --depth;
      }
      if (c == '|' && depth == 0 && close == '|') return;
    }
  };
  auto commaFollows = [this] {
    script_.SkipBlanks();
    return script_.Current() == ',';
  };
  while (at < signature.size() && signature[at] != end) {
    char c = signature[at++];
    if (c == '[') {
      if (commaFollows()) {
        Operands(signature, at, ']');
      } else {
        skipGroup(at, ']');
      }
      ++at;
    } else if (c == '{') {
      const size_t body = at;
      while (commaFollows()) {
        at = body;
        Operands(signature, at, '}');
      }
      at = body;
      skipGroup(at, '}');
      ++at;
    } else if (c == '(') {
      char wanted = signature[at++];
      script_.SkipBlanks();
      unsigned char next = script_.Current();
      bool first = IsAsciiLetter(static_cast<unsigned char>(wanted)) ? (next | 0x20) == wanted : next == wanted;
      if (first) {
        Operands(signature, at, '|');
        skipGroup(at, ')');
      } else {
        skipGroup(at, '|');
        ++at;
        Operands(signature, at, ')');
      }
      ++at;
    } else if (c == ',') {
      script_.ExpectComma();
    } else {
      Operand(c);
    }
  }
}

void ScenarioChecker::Operand(char kind) {
  switch (kind) {
    case 'n':
      script_.ReadNumber();
      break;
    case 's':
      script_.ReadString();
      break;
    case 'f':
      FileOperand(FileKind::Picture);
      break;
    case 'm':
      FileOperand(FileKind::Sound);
      break;
    case 'l':
      Label();
      break;
    case 'w':
      if (script_.ReadToken().empty()) Refuse("a word is missing");
      break;
    case 'o':
      if (script_.ReadToken() != "off") Refuse("\"off\" expected");
      break;
    case 'a': {
      script_.SkipBlanks();
      unsigned char letter = script_.Current() | 0x20;
      if (letter != 'l' && letter != 'c' && letter != 'r' && letter != 'a') Refuse("the letter l, c or r expected");
      ++script_.position;
      script_.SkipBlanks();
      break;
    }
    case 'c':
      script_.SkipBlanks();
      if (script_.Current() != '#') Refuse("a colour #rrggbb expected");
      script_.ReadColor();
      script_.SkipBlanks();
      break;
    case 'v':
    case 'V':
      script_.ExpectVariable(kind == 'v' ? VariableKind::Number : VariableKind::String,
                             kind == 'v' ? "数字変数(%n)が必要です。" : "文字変数($n)が必要です。");
      break;
    case 'e': {
      // A slot, or a type, a duration and an optional mask picture.
      size_t at = 0;
      Operands("n[,n[,f]]", at, '\0');
      break;
    }
    default:
      break;
  }
}

// A label operand; the name when the scenario writes it out (a string variable is only known
// when the game runs).
std::optional<std::string> ScenarioChecker::Label() {
  script_.SkipBlanks();
  if (script_.Current() == '$') {
    script_.ReadString();
    return std::nullopt;
  }
  std::string name = script_.ReadLabel();
  if (!script_.HasLabel(name)) {
    Problem(script_.statementStart, "label *" + ShiftJisToUtf8(name) + " does not exist");
    return std::nullopt;
  }
  if (phase_ != CheckPhase::Unreached) {
    const int32_t here = script_.position;
    script_.JumpToLabel(name);
    Follow(script_.position, phase_);
    script_.position = here;
  }
  return name;
}

void ScenarioChecker::FileOperand(FileKind kind) {
  script_.SkipBlanks();
  bool computed = script_.Current() == '$';
  std::string name = script_.ReadString();
  if (!computed && !name.empty()) CheckFile(name, kind);
}

void ScenarioChecker::CheckFile(const std::string& name, FileKind kind) {
  std::string file = name;
  if (kind == FileKind::Picture) {
    TagParse parse = ParsePictureDescriptor(name);
    if (parse.error != TagError::None) Refuse("malformed display tag in \"" + ShiftJisToUtf8(name) + "\"");
    file = parse.tag.fileName;
  } else if (file[0] == '*') {
    return;  // a CD track
  }
  if (file.empty()) return;
  auto cached = fileFound_.find(file);
  bool found = cached != fileFound_.end() ? cached->second : !LocateGameFile(file).empty() || InArchives(file);
  fileFound_[file] = found;
  if (!found)
    Problem(script_.statementStart,
            "file \"" + ShiftJisToUtf8(file) + "\" is neither in the game folder nor in an archive");
}

bool ScenarioChecker::InArchives(const std::string& name) {
  std::string wanted = name;
  for (char& c : wanted)
    if (c == '/') c = '\\';
  for (const std::string& entry : archives_) {
    size_t bar = entry.find('|');
    std::string archive = LocateGameFile(entry.substr(0, bar));
    if (archive.empty()) continue;
    // A reader that is a native shared object is a plug-in: what it holds is known only by
    // running it, which a check does not do.
    std::string reader = bar == std::string::npos ? std::string() : LocateGameFile(entry.substr(bar + 1));
    std::string head;
    if (!reader.empty() && ReadWholeFile(reader, head, 3) && head.compare(0, 4, "\x7F" "ELF") == 0) return true;
    if (ArchiveHoldsMember(archive, wanted)) return true;
  }
  return archivesUnknown_;
}

void ScenarioChecker::Condition(CheckPhase phase) {
  for (;;) {
    script_.SkipBlanks();
    if ((script_.Current() | 0x20) == 'f') {
      if (script_.ReadToken() != "fchk") Refuse("エラー: if条件式が間違っています。");
      if (phase == CheckPhase::Definition) Refuse("エラー: fchk条件式は、定義ブロックでは使えません。");
      script_.ReadString();
    } else {
      script_.ReadNumber();
      script_.SkipBlanks();
      unsigned char first = script_.Current();
      unsigned char second = script_.At(script_.position + 1);
      if (first == '!' && second == '=') {
        script_.position += 2;
      } else if (first == '<' && (second == '>' || second == '=')) {
        script_.position += 2;
      } else if ((first == '>' || first == '=') && second == '=') {
        script_.position += 2;
      } else if (first == '<' || first == '>' || first == '=') {
        ++script_.position;
      } else {
        Refuse("エラー: if条件式が間違っています。");
      }
      script_.ReadNumber();
    }
    script_.SkipBlanks();
    if (script_.Current() != '&') return;
    ++script_.position;
    if (script_.Current() == '&') ++script_.position;
  }
}

// Pairs of a text and a label, which may run over several lines (with a variable first: texts,
// each empty one followed by a label).
void ScenarioChecker::Choices(bool withVariable) {
  if (withVariable) {
    Operand('v');
    script_.ExpectComma();
  }
  auto nextPairFollows = [this] {
    script_.SkipBlanksAndLineFeeds();
    if (script_.Current() != ',') return false;
    ++script_.position;
    script_.SkipBlanksAndLineFeeds();
    return true;
  };
  script_.SkipBlanksAndLineFeeds();
  do {
    bool literal = script_.Current() == '"';
    std::string text = script_.ReadString();
    if (!withVariable || (literal && text.empty())) {
      script_.ExpectComma();
      Label();
    }
  } while (nextPairFollows());
}

void ScenarioChecker::Alias(VariableKind kind) {
  std::string name = script_.ReadToken();
  script_.ExpectComma();
  bool added = kind == VariableKind::Number ? script_.numberAliases.Add(name, script_.ReadNumber())
                                            : script_.stringAliases.Add(name, script_.ReadString());
  if (!added) Refuse("alias " + name + " is defined twice");
}

void ScenarioChecker::Background() {
  script_.SkipBlanks();
  unsigned char c = script_.Current();
  if (c == '#') {
    Operand('c');
  } else if (c == '"') {
    FileOperand(FileKind::Picture);
  } else {
    int32_t word = script_.position;
    std::string colour = script_.ReadToken();
    if (colour != "black" && colour != "white") {
      script_.position = word;
      FileOperand(FileKind::Picture);
    }
  }
  script_.ExpectComma();
  Operand('e');
}

// `skip n` with a number written out goes on n lines away; a computed one cannot be followed.
Flow ScenarioChecker::Skip(CheckPhase phase) {
  int32_t statement = script_.statementStart;
  script_.position = statement;
  script_.ReadToken();
  script_.SkipBlanks();
  bool literal = script_.Current() != '%';
  int32_t lines = script_.ReadNumber();
  if (!literal) return Flow::Stops;
  if (lines == 0) return Flow::Continues;
  int32_t position = script_.position;
  auto outside = [&] { Refuse("構文エラー: SKIPがスクリプトの範囲を飛び出しました。"); };
  if (lines > 0) {
    for (int32_t i = 0; i < lines; ++i) {
      while (script_.At(position) != '\n') {
        if (script_.At(position) == '\0') outside();
        ++position;
      }
      ++position;
    }
  } else {
    if (script_.At(position) == '\n') --position;
    for (int64_t i = 0; i < 1 - static_cast<int64_t>(lines); ++i) {
      while (script_.At(position) != '\n') {
        if (position == 0) outside();
        --position;
      }
      --position;
    }
    ++position;
  }
  Follow(position, phase);
  return Flow::Stops;
}

}  // namespace

ScenarioCheck CheckScenario() {
  ScenarioChecker checker;
  return checker.Run();
}

bool HasOperandSignature(std::string_view name) { return OperandSignature(name).has_value(); }

}  // namespace velmio
