#include "script/scenario_loader.h"

#include <algorithm>
#include <string_view>

#include "base/errors.h"
#include "base/warning.h"
#include "files/file_reading.h"

namespace velmio {
namespace {

constexpr unsigned char kSecretKey[5] = {0x5E, 0xA1, 0x37, 0xC4, 0x0D};
constexpr unsigned char kSimpleKey = 0x3B;
constexpr size_t kMaxScenarioLength = kScriptBufferSize - 1;

void CheckLength(size_t length) {
  if (length >= static_cast<size_t>(kScriptBufferSize)) RaiseError("エラー", "シナリオが長すぎます。");
}

// An obscured file is one scenario; more than the buffer holds is an error, but nothing past
// the buffer's size is ever read.
bool ReadObscured(const char* name, std::string& text, bool fiveByteKey) {
  std::string raw;
  if (!ReadWholeFile(name, raw, kMaxScenarioLength)) return false;
  text.reserve(raw.size() + 1);
  for (size_t index = 0; index < raw.size(); ++index) {
    unsigned char key = fiveByteKey ? kSecretKey[index % 5] : kSimpleKey;
    text.push_back(static_cast<char>(static_cast<unsigned char>(raw[index]) ^ key));
  }
  text.push_back('\n');
  CheckLength(text.size());
  return true;
}

// Text mode: CR LF becomes LF and a 0x1A byte ends the file.
void AppendTextMode(const std::string& raw, std::string& text, size_t room) {
  std::string_view rest(raw);
  size_t endMark = rest.find('\x1A');
  if (endMark != std::string_view::npos) rest = rest.substr(0, endMark);
  text.reserve(text.size() + std::min(rest.size(), room));
  while (!rest.empty() && room > 0) {
    size_t carriageReturn = rest.find('\r');
    bool pair = carriageReturn != std::string_view::npos && carriageReturn + 1 < rest.size() &&
                rest[carriageReturn + 1] == '\n';
    size_t run = carriageReturn == std::string_view::npos ? rest.size() : carriageReturn + (pair ? 0 : 1);
    size_t taken = std::min(run, room);
    text.append(rest.substr(0, taken));
    room -= taken;
    rest.remove_prefix(pair ? run + 1 : run);
  }
}

// Length of the UTF-8 sequence starting with `lead`, 0 when it cannot start one.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool LooksLikeUtf8(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") return true;
  // Real Shift JIS text is full of kana and punctuation whose lead byte 0x81..0x83 is a lone
  // continuation byte in UTF-8, so valid UTF-8 with anything beyond ASCII is not Shift JIS.
  bool beyondAscii = false;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = Utf8SequenceLength(c);
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    beyondAscii = true;
    i += length;
  }
  return beyondAscii;
}

ScenarioLoad LoadScenario(Script& script) {
  std::string text;
  std::vector<ScenarioFileSpan> files;
  ScenarioLoad load;
  auto noteEncoding = [&](size_t start, const std::string& name) {
    if (LooksLikeUtf8(std::string_view(text).substr(start))) load.utf8Files.push_back(name);
  };
  bool haveZero = IsRegularFile("0.txt");
  if (!haveZero && IsRegularFile("velm_sec.dat")) {
    files.push_back({0, "velm_sec.dat"});
    ReadObscured("velm_sec.dat", text, true);
    noteEncoding(0, "velm_sec.dat");
  } else if (!haveZero && IsRegularFile("velmio.dat")) {
    files.push_back({0, "velmio.dat"});
    ReadObscured("velmio.dat", text, false);
    noteEncoding(0, "velmio.dat");
  } else {
    for (int n = 0; n <= 99; ++n) {
      std::string name = std::to_string(n) + ".txt";
      std::string raw;
      if (!ReadWholeFile(name, raw)) continue;
      size_t start = text.size();
      files.push_back({static_cast<int32_t>(start), name});
      AppendTextMode(raw, text, kMaxScenarioLength - text.size());
      noteEncoding(start, name);
      text.push_back('\n');
      CheckLength(text.size());
    }
  }
  load.found = !files.empty();
  script.SetText(std::move(text), std::move(files));
  return load;
}

std::string DescribeMissingScenario() {
  return "no scenario in " + CurrentFolderPath() + " (looked for 0.txt to 99.txt, velm_sec.dat and velmio.dat)";
}

void NoteScenarioProblems(const ScenarioLoad& load) {
  if (!load.found) Report(DescribeMissingScenario());
  for (const std::string& name : load.utf8Files)
    Warn(name + " is UTF-8 text, but scenarios are read as Shift JIS: its Japanese text will show garbled "
                "(save it as Shift JIS)");
}

}  // namespace velmio
