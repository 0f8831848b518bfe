#pragma once
#include <string>

namespace velmio {

class GraphicsContext;

// Writes the display surface as PNG and logs "SCREENSHOT <file>"; a file that cannot be written
// is reported on standard error (the run goes on); false then.
bool WriteScreenshot(GraphicsContext& engine, const std::string& file);

}  // namespace velmio
