#include "script/scenario_loader.h"

#include <algorithm>
#include <string_view>

#include "base/errors.h"
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

}  // namespace

void LoadScenario(Script& script) {
  std::string text;
  std::vector<ScenarioFileSpan> files;
  bool haveZero = IsRegularFile("0.txt");
  if (!haveZero && IsRegularFile("velm_sec.dat")) {
    files.push_back({0, "velm_sec.dat"});
    ReadObscured("velm_sec.dat", text, true);
  } else if (!haveZero && IsRegularFile("velmio.dat")) {
    files.push_back({0, "velmio.dat"});
    ReadObscured("velmio.dat", text, false);
  } else {
    for (int n = 0; n <= 99; ++n) {
      std::string name = std::to_string(n) + ".txt";
      std::string raw;
      if (!ReadWholeFile(name, raw)) continue;
      files.push_back({static_cast<int32_t>(text.size()), name});
      AppendTextMode(raw, text, kMaxScenarioLength - text.size());
      text.push_back('\n');
      CheckLength(text.size());
    }
  }
  script.SetText(std::move(text), std::move(files));
}

}  // namespace velmio
