#include "ui/save_load_pages.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

#include "base/encoding.h"
#include "files/game_files.h"
#include "persist/save_files.h"
#include "text/menu_text.h"
#include "ui/confirm.h"
#include "ui/ui_context.h"

namespace velmio {
namespace {

constexpr uint32_t kPageIdleSlice = 50;

std::string FullWidthDigits(std::string_view ascii) {
  std::string utf8;
  for (char c : ascii) {
    if (c >= '0' && c <= '9') {
      utf8 += "\xEF\xBC";  // U+FF10 to U+FF19
      utf8.push_back(static_cast<char>(0x90 + (c - '0')));
    } else if (c == ' ') {
      utf8 += "\xE3\x80\x80";  // U+3000, the full-width space
    } else {
      utf8.push_back(c);
    }
  }
  return utf8;
}

// The modification time of the slot's file as the list shows it, or empty without a file.
std::string SlotDate(int slot) {
  if (!SaveFileExists(slot)) return {};
  std::optional<std::time_t> seconds = LastWriteTime(GameFileForReading(SaveFileName(slot)));
  if (!seconds) return {};
  std::tm local{};
  localtime_r(&*seconds, &local);
  return FormatSlotDate(local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
}

uint32_t TextColour(const TextState& text) {
  return uint32_t{text.textRed} << 16 | uint32_t{text.textGreen} << 8 | text.textBlue;
}

void DrawAt(UiContext& engine, std::string_view text, int x, int y, uint32_t rgb) {
  int column = -x;
  int line = -y;
  DrawMenuText(engine, text, column, line, rgb);
}

// Takes the next message, waiting for the player when there is none.
MessageKind NextMessage(UiContext& engine) {
  while (!engine.PumpOneMessage()) engine.platform.Idle(kPageIdleSlice, WaitKind::Player);
  return static_cast<MessageKind>(engine.input.lastMessage);
}

struct PageItem {
  std::string text;
  int x = 0;
  int y = 0;
  int right = 0;  // inclusive for slots, exclusive for buttons: see Hit
  int height = 0;
  uint32_t colour = 0;
};

std::optional<int> HitSlot(const std::vector<PageItem>& items, int x, int y) {
  for (size_t i = 0; i < items.size(); ++i) {
    const PageItem& item = items[i];
    if (y >= item.y && y < item.y + item.height && x >= item.x && x <= item.right) return static_cast<int>(i);
  }
  return std::nullopt;
}

// The list's loop: the pointer moves the highlight, a left release takes the highlighted slot
// unless the mode refuses it (the list stays), a right release cancels (-1).
int RunSlotList(UiContext& engine, const std::vector<PageItem>& slots, const std::vector<bool>& exists, SlotMode mode) {
  const UiState& ui = engine.ui;
  auto redraw = [&](int index, uint32_t colour) { DrawAt(engine, slots[index].text, slots[index].x, slots[index].y, colour); };
  std::optional<int> highlighted;
  engine.platform.PlayerWaitStarted();
  for (;;) {
    const MessageKind kind = NextMessage(engine);
    InputState& input = engine.input;
    if (kind == MessageKind::MouseMove) {
      std::optional<int> now = HitSlot(slots, input.mouseX, input.mouseY);
      if (now == highlighted) continue;
      if (now) PlayMenuVoice(engine, MenuVoice::Moved);
      if (highlighted) redraw(*highlighted, slots[*highlighted].colour);
      if (now) redraw(*now, ui.menuHighlight);
      highlighted = now;
    } else if (kind == MessageKind::LeftButtonUp) {
      input.clickFlag = false;
      if (!highlighted) continue;
      if (mode == SlotMode::Load && !exists[*highlighted]) {
        PlayMenuVoice(engine, MenuVoice::Refused);
        continue;
      }
      PlayMenuVoice(engine, MenuVoice::Taken);
      redraw(*highlighted, slots[*highlighted].colour);
      return *highlighted;
    } else if (kind == MessageKind::RightButtonUp) {
      input.rightClickFlag = false;
      // Without a cancel voice the page goes at once, highlight and all.
      if (!ui.menuVoices[static_cast<int>(MenuVoice::Cancelled)].empty()) {
        if (highlighted) redraw(*highlighted, slots[*highlighted].colour);
        PlayMenuVoice(engine, MenuVoice::Cancelled);
      }
      return -1;
    }
  }
}

// The shared shape of the save and load items: list, confirmation, and back to the list on no.
void SlotPage(UiContext& engine, SlotMode mode) {
  TextState& text = engine.text;
  for (;;) {
    text.menuAreaPrepared = false;
    text.layers.Clear();
    std::string shortName;
    const int index = SlotList(engine, mode, shortName);
    if (index < 0) return;
    const char* format = mode == SlotMode::Save ? "にセーブします。よろしいですか？" : "をロードします。よろしいですか？";
    text.menuAreaPrepared = false;
    text.layers.Clear();
    if (ConfirmYesNo(engine, shortName + Sjis(format)) != 1) continue;
    if (mode == SlotMode::Save) {
      SaveToSlot(engine, index + 1);
    } else if (LoadFromSlot(engine, index + 1) == SlotOutcome::Done) {
      engine.script.loadRequest = true;
    }
    return;
  }
}

}  // namespace

SlotListGeometry ComputeSlotListGeometry(int slotCount, int titleLength, int labelLength, int pitchX, int pitchY) {
  SlotListGeometry geometry;
  geometry.titleX = std::max(1, 320 - (titleLength * pitchX) / 4);
  geometry.titleY = std::max(1, 240 - (slotCount / 2 + 1) * pitchY);
  geometry.left = std::max(1, 320 - (labelLength * pitchX) / 4);
  geometry.right = 320 + (labelLength * pitchX) / 4;
  geometry.top = std::max(1, 240 - (slotCount / 2 - 1) * pitchY);
  geometry.pitchY = pitchY;
  return geometry;
}

std::string FormatSlotDate(int month, int day, int hour, int minute) {
  char ascii[64];
  std::snprintf(ascii, sizeof ascii, "%2d月%2d日%2d時%02d分", month, day, hour, minute);
  return Utf8ToShiftJis(FullWidthDigits(ascii));
}

std::string SlotLabel(std::string_view slotName, int slotCount, int index, std::string_view date) {
  std::string label(slotName);
  if (slotCount > 9 && index < 9) label += Sjis("　");
  label += Utf8ToShiftJis(FullWidthDigits(std::to_string(index + 1)));
  label += Sjis("　");
  label += date.empty() ? Sjis("－－－－－－－－－－－－") : std::string(date);
  return label;
}

int SlotList(UiContext& engine, SlotMode mode, std::string& shortName) {
  const PersistState& persist = engine.persist;
  const UiState& ui = engine.ui;
  const MenuWindow& menu = engine.text.menuWindow;
  const int count = std::clamp(persist.slotCount, 1, kMaxSaveSlots);
  const std::string& title = mode == SlotMode::Save ? persist.saveTitle : persist.loadTitle;

  PlayMenuVoice(engine, MenuVoice::Opened);
  std::vector<PageItem> slots(count);
  std::vector<bool> exists(count);
  for (int i = 0; i < count; ++i) {
    std::string date = SlotDate(i + 1);
    exists[i] = !date.empty();
    slots[i].text = SlotLabel(persist.slotName, count, i, date);
  }
  SlotListGeometry geometry = ComputeSlotListGeometry(count, static_cast<int>(title.size()),
                                                      static_cast<int>(slots[0].text.size()), menu.pitchX, menu.pitchY);
  DrawAt(engine, title, geometry.titleX, geometry.titleY, TextColour(engine.text));
  for (int i = 0; i < count; ++i) {
    PageItem& slot = slots[i];
    slot.x = geometry.left;
    slot.right = geometry.right;
    slot.y = geometry.top + i * geometry.pitchY;
    slot.height = geometry.pitchY;
    slot.colour = exists[i] ? ui.menuNormal : ui.menuMissingSlot;
    DrawAt(engine, slot.text, slot.x, slot.y, slot.colour);
  }
  const int index = RunSlotList(engine, slots, exists, mode);
  if (index >= 0) {
    const size_t numberBytes = count < 10 ? 2 : 4;
    shortName = slots[index].text.substr(0, persist.slotName.size() + numberBytes);
  }
  return index;
}

void SavePage(UiContext& engine) { SlotPage(engine, SlotMode::Save); }
void LoadPage(UiContext& engine) { SlotPage(engine, SlotMode::Load); }

}  // namespace velmio
