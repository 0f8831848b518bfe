#include "graphics/screenshot.h"

#include <cstdio>

#include "platform/png_writer.h"
#include "shell/interpreter.h"

namespace velmio {

void WriteScreenshot(Interpreter& engine, const std::string& file) {
  const Surface& display = engine.graphics.display;
  if (!WritePng(file, display.pixels, display.width, display.height, display.stride)) {
    fprintf(stderr, "velmio: cannot write the screenshot %s\n", file.c_str());
    return;
  }
  engine.log.Write("SCREENSHOT", file);
}

}  // namespace velmio
