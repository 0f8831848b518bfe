#include "base/event_log.h"

#include "base/encoding.h"

namespace velmio {

EventLog::~EventLog() {
  if (ownsFile_ && file_ != nullptr) fclose(file_);
}

bool EventLog::Open(const std::string& path) {
  if (path == "-") {
    file_ = stdout;
    ownsFile_ = false;
    return true;
  }
  file_ = fopen(path.c_str(), "w");
  ownsFile_ = file_ != nullptr;
  return file_ != nullptr;
}

void EventLog::Write(std::string_view kind, std::string_view text) {
  if (file_ == nullptr) return;
  std::string line(kind);
  line.push_back(' ');
  // A line of the log is one event: embedded line breaks would split it.
  for (char c : text) line.push_back(c == '\n' ? ' ' : c);
  line.push_back('\n');
  fwrite(line.data(), 1, line.size(), file_);
  fflush(file_);
}

void EventLog::WriteShiftJis(std::string_view kind, std::string_view text) {
  Write(kind, ShiftJisToUtf8(text));
}

}  // namespace velmio
