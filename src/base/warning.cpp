#include "base/warning.h"

#include <cstdio>
#include <string>

#include "base/event_log.h"

namespace velmio {
namespace {

EventLog* warningLog = nullptr;

}  // namespace

void SetWarningLog(EventLog* log) { warningLog = log; }

void Warn(std::string_view text) {
  std::string line = "velmio: warning: " + std::string(text) + "\n";
  fputs(line.c_str(), stderr);
  if (warningLog != nullptr) warningLog->Write("WARNING", text);
}

void Report(std::string_view text) {
  std::string line = "velmio: " + std::string(text) + "\n";
  fputs(line.c_str(), stderr);
}

}  // namespace velmio
