#include "script/scenario_loader.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <string_view>

#include "shell/errors.h"

namespace velmio {
namespace {

constexpr unsigned char kSecretKey[5] = {0x5E, 0xA1, 0x37, 0xC4, 0x0D};
constexpr unsigned char kSimpleKey = 0x3B;
constexpr size_t kMaxScenarioLength = kScriptBufferSize - 1;

bool FileExists(const char* name) {
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

void CheckLength(size_t length) {
  if (length >= static_cast<size_t>(kScriptBufferSize)) RaiseError("エラー", "シナリオが長すぎます。");
}

// The obscured files are read whole; the length check happens once, after the appended line feed,
// but nothing past the buffer's size is ever kept.
bool ReadObscured(const char* name, std::string& text, bool fiveByteKey) {
  std::ifstream file(name, std::ios::binary);
  if (!file) return false;
  char chunk[65536];
  size_t index = 0;
  bool tooLong = false;
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    size_t count = static_cast<size_t>(file.gcount());
    for (size_t i = 0; i < count; ++i, ++index) {
      unsigned char key = fiveByteKey ? kSecretKey[index % 5] : kSimpleKey;
      if (text.size() < kMaxScenarioLength + 1) {
        text.push_back(static_cast<char>(static_cast<unsigned char>(chunk[i]) ^ key));
      } else {
        tooLong = true;
      }
    }
  }
  text.push_back('\n');
  if (tooLong) CheckLength(kScriptBufferSize);
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

std::string ReadWholeFile(std::ifstream& file) {
  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  file.seekg(0, std::ios::beg);
  std::string content(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<size_t>(file.gcount()));
  return content;
}

}  // namespace

void LoadScenario(Script& script) {
  std::string text;
  std::vector<ScenarioFileSpan> files;
  bool haveZero = FileExists("0.txt");
  if (!haveZero && FileExists("velm_sec.dat")) {
    files.push_back({0, "velm_sec.dat"});
    ReadObscured("velm_sec.dat", text, true);
  } else if (!haveZero && FileExists("velmio.dat")) {
    files.push_back({0, "velmio.dat"});
    ReadObscured("velmio.dat", text, false);
  } else {
    for (int n = 0; n <= 99; ++n) {
      std::string name = std::to_string(n) + ".txt";
      std::ifstream file(name, std::ios::binary);
      if (!file) continue;
      std::string raw = ReadWholeFile(file);
      files.push_back({static_cast<int32_t>(text.size()), name});
      AppendTextMode(raw, text, kMaxScenarioLength - text.size());
      text.push_back('\n');
      CheckLength(text.size());
    }
  }
  script.SetText(std::move(text), std::move(files));
}

}  // namespace velmio
