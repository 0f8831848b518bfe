#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace velmio {

// The event log of the harness: one UTF-8 line per event ("TEXT ...", "ERROR ...", "EXIT 0").
// Its words are a contract with tests and tools; add kinds, never change existing ones.
class EventLog {
 public:
  EventLog() = default;
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // "-" is standard output. False when the file cannot be opened.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }

  // `kind` and `text` are UTF-8.
  void Write(std::string_view kind, std::string_view text);
  // Same, converting Shift JIS text first.
  void WriteShiftJis(std::string_view kind, std::string_view text);

 private:
  FILE* file_ = nullptr;
  bool ownsFile_ = false;
};

}  // namespace velmio
