#pragma once
#include <mpg123.h>

namespace velmio {

// A new libmpg123 handle that keeps quiet on standard error and decodes to signed 16-bit at the
// file's own rate and channel count (the converter does the rest). Null on failure.
mpg123_handle* NewMpg123Handle();

}  // namespace velmio
