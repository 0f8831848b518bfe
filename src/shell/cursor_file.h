#pragma once
// Reading Windows cursor files: static cursors (.cur, also icons .ico) and animated cursors
// (.ani, a RIFF file of cursor frames with rates and an optional sequence).
#include <cstdint>
#include <optional>
#include <span>

#include "platform/cursor_image.h"

namespace velmio {

// Understands both kinds by their first bytes. Empty when the bytes are not a cursor the
// program can use (damaged, truncated, absurd sizes).
std::optional<CursorImage> ParseCursorFile(std::span<const uint8_t> bytes);

}  // namespace velmio
