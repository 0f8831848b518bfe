#pragma once
// The keyboard's way through a list of choices or menu entries: the arrow keys and Tab move the
// pointer from entry to entry, so the lists highlight and take entries exactly as they do for
// the mouse, and Enter (a click) takes the one under it.
#include <optional>
#include <span>

#include "platform/platform.h"

namespace velmio {

enum class ChoiceStep : uint8_t { Previous, Next };

struct PointerTarget {
  int x = 0;
  int y = 0;
};

// Where the pointer goes from (x, y): the centre of the entry after (or before) the one under
// it, wrapping round; from outside every entry the first (or the last). Nothing for no entries.
inline std::optional<PointerTarget> StepThroughChoices(std::span<const ScreenArea> entries, int x, int y,
                                                       ChoiceStep step) {
  const int count = static_cast<int>(entries.size());
  if (count == 0) return std::nullopt;
  int under = -1;
  for (int i = 0; i < count && under < 0; ++i) {
    const ScreenArea& area = entries[i];
    if (x >= area.left && x < area.left + area.width && y >= area.top && y < area.top + area.height) under = i;
  }
  int next = 0;
  if (step == ChoiceStep::Next) next = under < 0 ? 0 : (under + 1) % count;
  else next = under < 0 ? count - 1 : (under + count - 1) % count;
  const ScreenArea& area = entries[next];
  return PointerTarget{area.left + area.width / 2, area.top + area.height / 2};
}

}  // namespace velmio
