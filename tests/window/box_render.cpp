// Draws a message box with the program's own widget and font path, as the window would show it
// over the 640 x 480 picture, so that a screenshot of the real window can be compared with it.
// Usage: box_render OUTPUT.ppm TITLE TEXT yesno|ok
// Writes the box as a binary PPM and prints "LEFT TOP" of the box, then one line per button
// "LEFT TOP WIDTH HEIGHT", all in picture coordinates.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/sdl/message_box_widget.h"

int main(int argc, char** argv) {
  using namespace velmio;
  if (argc != 5) {
    std::fprintf(stderr, "usage: box_render OUTPUT.ppm TITLE TEXT yesno|ok\n");
    return 2;
  }
  MessageBoxStyle style = std::strcmp(argv[4], "yesno") == 0 ? MessageBoxStyle::YesNo : MessageBoxStyle::Ok;
  MessageBoxWidget box(640, 480, argv[2], argv[3], style);
  WidgetRect rect = box.Rect();
  std::vector<uint32_t> pixels(static_cast<size_t>(rect.width) * rect.height);
  box.Paint(pixels.data(), rect.width);
  std::FILE* output = std::fopen(argv[1], "wb");
  if (output == nullptr) return 1;
  std::fprintf(output, "P6\n%d %d\n255\n", rect.width, rect.height);
  for (uint32_t pixel : pixels)
    for (int shift : {16, 8, 0}) std::fputc(static_cast<int>((pixel >> shift) & 0xFF), output);
  std::fclose(output);
  std::printf("%d %d\n", rect.left, rect.top);
  for (const WidgetRect& button : box.ButtonRects())
    std::printf("%d %d %d %d\n", button.left, button.top, button.width, button.height);
  return 0;
}
