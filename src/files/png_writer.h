#pragma once
#include <cstdint>
#include <string>

namespace velmio {

// Writes a 24-bit picture as an 8-bit RGB PNG. `pixels` holds `height` rows `stride` bytes apart,
// BOTTOM-UP (the first row in memory is the bottom row), 3 bytes per pixel in blue, green, red
// order, as a Surface lays them out. False when the file cannot be written.
bool WritePng(const std::string& path, const uint8_t* pixels, int width, int height, int stride);

}  // namespace velmio
