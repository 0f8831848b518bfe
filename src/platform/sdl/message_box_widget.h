#pragma once
// A message box drawn inside the game window, for when the desktop cannot show one of its own
// (no fonts for it, no message box service): title, lines of text and OK or Yes/No buttons.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/widget_painting.h"

namespace velmio {

enum class MessageBoxKey : uint8_t { Enter, Escape, Left, Right, Tab };

class MessageBoxWidget {
 public:
  static constexpr int kTitleHeight = 22;
  static constexpr int kLineHeight = 18;
  static constexpr int kButtonWidth = 80;
  static constexpr int kButtonHeight = 24;

  // Centred in an area of `areaWidth` x `areaHeight`; title and text are UTF-8, the text's lines
  // separated by line feeds.
  MessageBoxWidget(int areaWidth, int areaHeight, const std::string& title, const std::string& text,
                   MessageBoxStyle style);
  ~MessageBoxWidget();
  MessageBoxWidget(const MessageBoxWidget&) = delete;
  MessageBoxWidget& operator=(const MessageBoxWidget&) = delete;

  WidgetRect Rect() const { return rect_; }
  std::vector<WidgetRect> ButtonRects() const { return buttons_; }

  // Coordinates are those of the area. An answer ends the box.
  void PointerMoved(int x, int y);
  void PointerPressed(int x, int y);
  std::optional<MessageBoxAnswer> PointerReleased(int x, int y);
  std::optional<MessageBoxAnswer> KeyPressed(MessageBoxKey key);
  // Closing the box by other means: No for a question, else OK.
  MessageBoxAnswer DismissAnswer() const;

  uint64_t Version() const { return version_; }
  // Paints the box into Rect().width x Rect().height pixels, `stride` pixels per row.
  void Paint(uint32_t* pixels, int stride);

 private:
  int ButtonAt(int x, int y) const;
  MessageBoxAnswer AnswerOf(int button) const;

  MessageBoxStyle style_;
  std::string title_;
  std::vector<std::string> lines_;
  std::vector<std::string> labels_;
  WidgetRect rect_;
  std::vector<WidgetRect> buttons_;  // in area coordinates
  int focus_ = 0;     // the button Enter chooses
  int pressed_ = -1;  // the button under the press that is not yet released
  int hover_ = -1;
  uint64_t version_ = 1;
  std::unique_ptr<fonts::GlyphRasteriser> rasteriser_;
  std::vector<uint8_t> scratch_;
};

}  // namespace velmio
