#include "graphics/screenshot.h"

#include <cstdio>

#include "base/warning.h"
#include "files/png_writer.h"
#include "graphics/graphics_context.h"

namespace velmio {

bool WriteScreenshot(GraphicsContext& engine, const std::string& file) {
  const Surface& display = engine.graphics.display;
  if (!WritePng(file, display.pixels, display.width, display.height, display.stride)) {
    Warn("cannot write the screenshot " + file);
    return false;
  }
  engine.log.Write("SCREENSHOT", file);
  return true;
}

}  // namespace velmio
