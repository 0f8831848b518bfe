#pragma once
// A mouse cursor read from a Windows cursor file (.cur) or animated cursor (.ani), in a form any
// backend can turn into a real cursor.
#include <cstdint>
#include <vector>

namespace velmio {

struct CursorFrame {
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  // Top-down rows of red, green, blue, alpha bytes; empty when the frame is stored as PNG.
  std::vector<uint8_t> rgba;
  // A PNG-compressed frame (as newer cursor editors write them) for the backend to decode.
  std::vector<uint8_t> png;
};

// One step of an animation: which frame, for how long.
struct CursorStep {
  int frame = 0;
  uint32_t milliseconds = 0;
};

struct CursorImage {
  std::vector<CursorFrame> frames;
  std::vector<CursorStep> steps;  // empty for a still cursor (frame 0)
};

}  // namespace velmio
