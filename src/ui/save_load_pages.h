#pragma once
// The save and load pages of the right-click menu: a list of slots with the dates of their
// files, then a yes/no confirmation. Driven by the mouse alone; a right click leaves.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmio {

class UiContext;

enum class SlotMode : uint8_t { Load = 0, Save = 1 };

// Geometry of the slot list, computed from the slot count, the label length in bytes and the
// menu pitches. Slot i covers x in [left, right] and y in [top + i * pitchY, top + (i + 1) * pitchY).
struct SlotListGeometry {
  int titleX = 0;
  int titleY = 0;
  int left = 0;
  int right = 0;
  int top = 0;
  int pitchY = 0;
};
SlotListGeometry ComputeSlotListGeometry(int slotCount, int titleLength, int labelLength, int pitchX, int pitchY);

// The label of slot `index` (0-based) as the list shows it, Shift JIS: slot name, number and
// date, or dashes when the slot has no file. `date` is the file's local modification time
// already formatted by FormatSlotDate, or empty.
std::string SlotLabel(std::string_view slotName, int slotCount, int index, std::string_view date);
// "　３月　５日１３時０７分" for 5 March, 13:07 (Shift JIS).
std::string FormatSlotDate(int month, int day, int hour, int minute);

// The slot list: the 0-based slot taken, or -1 when the player right-clicked. `shortName`
// receives the slot's name as the confirmation names it ("しおり１").
int SlotList(UiContext& engine, SlotMode mode, std::string& shortName);

// The menu's save and load items, with `menuMode` set by the caller. They return with the page
// still on the screen; the caller puts back its text layers and the screen (or, after a load,
// which rebuilt the screen and set `loadRequest`, just closes).
void SavePage(UiContext& engine);
void LoadPage(UiContext& engine);

}  // namespace velmio
