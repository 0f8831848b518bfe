#pragma once
#include <string>
#include <string_view>

#include "base/program_end.h"

namespace velmio {

// Shows a fatal error and ends the program. Installed by the engine that owns the window.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // Title and message are Shift JIS.
  virtual void ShowFatalError(std::string_view title, std::string_view message) = 0;
};

void InstallErrorReporter(ErrorReporter* reporter);

// Title and message are Shift JIS. Never returns.
[[noreturn]] void ReportError(std::string_view title, std::string_view message);

// Convenience for the engine's own texts: title and pattern are UTF-8 source literals; the first
// "%s" or "%d" of the pattern is replaced by `argument`, which is Shift JIS engine text.
[[noreturn]] void RaiseError(std::string_view titleUtf8, std::string_view patternUtf8,
                             std::string_view argument = {});

}  // namespace velmio
