#pragma once
#include <string>
#include <string_view>

namespace velmio {

// The text value `name` under the key path `key` of the current user's registry, which is kept
// as the INI file ConfigFolder()/registry.ini with one section per key path. Empty when absent.
std::string ReadRegistryValue(std::string_view key, std::string_view name);

// The value of `key` in `section` of the INI file `file` (a name without a folder lives in
// ConfigFolder()). Sections and keys match without regard to ASCII case, blanks around keys and
// values are dropped, one pair of surrounding quotes is removed, and the value is cut to 255
// bytes. Empty when the file, section or key is absent.
std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key);

}  // namespace velmio
