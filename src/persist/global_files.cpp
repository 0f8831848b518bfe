#include "persist/global_files.h"

#include <cstring>
#include <string>

#include "base/encoding.h"
#include "files/file_reading.h"
#include "files/game_files.h"
#include "persist/persist_context.h"
#include "shell/window_procedure.h"

namespace velmio {
namespace {

constexpr size_t kMaxGlobalStringLength = 511;
constexpr uint8_t kPictureLogKey = 0x3B;
// 3896 records of a number and a 511-byte string, with room to spare.
constexpr size_t kMaxGlobalsFileSize = size_t{4} << 20;
constexpr size_t kMaxPictureLogFileSize = size_t{4} << 20;

void AppendInt(std::vector<uint8_t>& bytes, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

void ReportUnwritten(PersistContext& engine, const char* name) {
  ShowMessageBox(engine, Utf8ToShiftJis(std::string(name) + "を書き込めませんでした。"), Sjis("エラー"),
                 MessageBoxStyle::Ok);
}

}  // namespace

std::vector<uint8_t> EncodeGlobals(const VariableStore& variables) {
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t{kVariableCount - kLocalVariableCount} * 8);
  for (int variable = kLocalVariableCount; variable < kVariableCount; ++variable) {
    AppendInt(bytes, variables.Number(variable));
    const std::string& text = variables.String(variable);
    bytes.insert(bytes.end(), text.begin(), text.begin() + std::min(text.size(), std::strlen(text.c_str())));
    bytes.push_back(0);
  }
  return bytes;
}

void DecodeGlobals(std::span<const uint8_t> bytes, VariableStore& variables) {
  size_t at = 0;
  for (int variable = kLocalVariableCount; variable < kVariableCount; ++variable) {
    int32_t number = 0;
    if (bytes.size() - at >= 4) {
      const uint8_t* p = bytes.data() + at;
      number = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
      at += 4;
    } else {
      at = bytes.size();
    }
    variables.SetNumber(variable, number);
    std::span<const uint8_t> rest = bytes.subspan(at);
    const void* nul = rest.empty() ? nullptr : std::memchr(rest.data(), 0, rest.size());
    size_t length = nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - rest.data()) : rest.size();
    variables.SetString(variable, std::string_view(reinterpret_cast<const char*>(rest.data()),
                                                   std::min(length, kMaxGlobalStringLength)));
    at += nul != nullptr ? length + 1 : length;
  }
}

std::vector<uint8_t> EncodePictureLog(const PictureLog& log) {
  std::string count = std::to_string(log.names.size()) + "\n";
  std::vector<uint8_t> bytes(count.begin(), count.end());
  for (const std::string& name : log.names) {
    bytes.push_back('"');
    for (char c : name) bytes.push_back(static_cast<uint8_t>(c) ^ kPictureLogKey);
    bytes.push_back('"');
  }
  return bytes;
}

void DecodePictureLog(std::span<const uint8_t> bytes, PictureLog& log) {
  size_t at = 0;
  auto blank = [&bytes](size_t i) { return i < bytes.size() && (bytes[i] == ' ' || (bytes[i] >= '\t' && bytes[i] <= '\r')); };
  // The count as "%d\n" reads it: blanks, an optional sign, digits, then any blanks.
  while (blank(at)) ++at;
  bool negative = at < bytes.size() && bytes[at] == '-';
  if (at < bytes.size() && (bytes[at] == '-' || bytes[at] == '+')) ++at;
  int64_t count = 0;
  bool anyDigit = false;
  while (at < bytes.size() && IsAsciiDigit(bytes[at])) {
    count = std::min<int64_t>(count * 10 + (bytes[at] - '0'), int64_t{1} << 32);
    anyDigit = true;
    ++at;
  }
  if (!anyDigit || negative) return;
  while (blank(at)) ++at;
  std::string name;
  for (int64_t entry = 0; entry < count; ++entry) {
    if (at >= bytes.size() || bytes[at] != '"') return;
    const uint8_t* start = bytes.data() + at + 1;
    const void* close = std::memchr(start, '"', bytes.size() - at - 1);
    if (close == nullptr) return;
    const size_t length = static_cast<const uint8_t*>(close) - start;
    name.assign(reinterpret_cast<const char*>(start), length);
    for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ kPictureLogKey);
    LogPicture(log, name);
    at += length + 2;
  }
}

void LoadGlobals(PersistContext& engine) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(GameFileForReading(kGlobalsFile), bytes, kMaxGlobalsFileSize)) {
    engine.script.variables.ClearGlobals();
    return;
  }
  DecodeGlobals(bytes, engine.script.variables);
}

void ReadPictureLog(PersistContext& engine) {
  if (!engine.pictureLog.enabled) return;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(GameFileForReading(kPictureLogFile), bytes, kMaxPictureLogFileSize)) return;
  DecodePictureLog(bytes, engine.pictureLog);
}

void SaveGlobals(PersistContext& engine) {
  if (!engine.persist.globalsOn) return;
  if (!WriteGameFile(kGlobalsFile, EncodeGlobals(engine.script.variables))) ReportUnwritten(engine, kGlobalsFile);
}

void WritePictureLog(PersistContext& engine) {
  if (!engine.pictureLog.enabled) return;
  if (!WriteGameFile(kPictureLogFile, EncodePictureLog(engine.pictureLog))) ReportUnwritten(engine, kPictureLogFile);
}

}  // namespace velmio
