#pragma once
// The input dialog drawn inside the game window, laid out as the original dialog box: a caption,
// the scenario's prompt above a one-line edit box, and the default button 決定 beside it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/edit_line.h"
#include "platform/sdl/widget_painting.h"

namespace velmio {

enum class EditKey : uint8_t { Backspace, Delete, Left, Right, Home, End };

class InputDialogWidget {
 public:
  static constexpr int kTitleHeight = 22;

  // Centred in an area of `areaWidth` x `areaHeight`.
  InputDialogWidget(int areaWidth, int areaHeight, const DialogLabels& labels);
  ~InputDialogWidget();
  InputDialogWidget(const InputDialogWidget&) = delete;
  InputDialogWidget& operator=(const InputDialogWidget&) = delete;

  WidgetRect Rect() const { return rect_; }
  WidgetRect ButtonRect() const { return Shifted(button_); }
  // Where the caret is, in area coordinates: the input method puts its candidates beside it.
  WidgetRect CaretRect() const;
  const std::string& Text() const { return line_.Text(); }

  void Insert(const std::string& typed);
  void Edit(EditKey key);
  // What the input method is composing, shown at the caret until it is committed (Insert) or
  // given up (an empty text).
  void Compose(const std::string& composition);
  // Coordinates are those of the area; true when a press and release on the button answered.
  void PointerPressed(int x, int y);
  bool PointerReleased(int x, int y);

  uint64_t Version() const { return version_; }
  void Paint(uint32_t* pixels, int stride);

 private:
  // From dialog coordinates to those of the area.
  WidgetRect Shifted(WidgetRect rect) const { return {rect.left + rect_.left, rect.top + rect_.top, rect.width, rect.height}; }
  // Keeps the caret inside the edit box, scrolling the text sideways.
  void FollowCaret();

  DialogLabels labels_;
  WidgetRect rect_;
  // In dialog coordinates (0, 0 is the top-left corner of the caption).
  WidgetRect prompt_, edit_, button_;
  EditLine line_;
  std::string composition_;
  int scroll_ = 0;  // pixels of the text hidden at the left of the edit box
  bool pressed_ = false;
  uint64_t version_ = 1;
  std::unique_ptr<fonts::GlyphRasteriser> rasteriser_;
  std::vector<uint8_t> scratch_;
};

}  // namespace velmio
