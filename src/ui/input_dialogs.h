#pragma once
// `inputstr` and `inputnum`: a modal dialog asking the player for a text or a number.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmio {

class UiContext;

constexpr int32_t kNumberInput = -1;  // the maximum length of a number dialog

enum class FullWidthOnly : uint8_t { No, Yes };

// Checks an answer (Shift JIS, at most 255 bytes) as the dialog does when its button is pressed:
// "" when it is accepted, else the UTF-8 message shown before the dialog asks again.
std::string RefusalOf(std::string_view answer, int32_t maximumLength, FullWidthOnly fullWidth);

void InputStr(UiContext& engine);
void InputNum(UiContext& engine);

}  // namespace velmio
