#include "base/errors.h"

#include "base/encoding.h"

namespace velmio {
namespace {
ErrorReporter* installedReporter = nullptr;
}

void InstallErrorReporter(ErrorReporter* reporter) { installedReporter = reporter; }

void ReportError(std::string_view title, std::string_view message) {
  if (installedReporter != nullptr) installedReporter->ShowFatalError(title, message);
  throw ProgramEnd{kExitFatalError};
}

void RaiseError(std::string_view titleUtf8, std::string_view patternUtf8, std::string_view argument) {
  std::string message = Utf8ToShiftJis(patternUtf8);
  size_t mark = message.find("%s");
  if (mark == std::string::npos) mark = message.find("%d");
  if (mark != std::string::npos) message.replace(mark, 2, argument);
  ReportError(Utf8ToShiftJis(titleUtf8), message);
}

}  // namespace velmio
