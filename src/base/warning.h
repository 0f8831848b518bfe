#pragma once
// The one channel for warnings: things the player or author should know that do not stop the
// game (a screenshot that could not be written, an unreadable archive). Each goes to standard
// error as "velmio: warning: ..." and, when an event log is open, into it as a WARNING line.
#include <string_view>

namespace velmio {

class EventLog;

// Where warnings are logged besides standard error; null for standard error only.
void SetWarningLog(EventLog* log);

// `text` is UTF-8.
void Warn(std::string_view text);

// A report for the author on standard error that is not a warning, such as where a fatal error
// was found or a statistic asked for; UTF-8, without the "velmio: " prefix.
void Report(std::string_view text);

}  // namespace velmio
