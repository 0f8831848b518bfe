#include "files/sound/midi_file.h"

#include <algorithm>
#include <cstring>

namespace velmio {
namespace {

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
uint32_t Little32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

std::span<const uint8_t> FindMidiData(std::span<const uint8_t> bytes) {
  auto isSmf = [](std::span<const uint8_t> b) {
    return b.size() >= 14 && std::memcmp(b.data(), "MThd", 4) == 0 && Big32(b.data() + 4) >= 6;
  };
  if (isSmf(bytes)) return bytes;
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "RMID", 4) == 0) {
    for (size_t offset = 12; offset + 8 <= bytes.size();) {
      size_t length = std::min<size_t>(Little32(bytes.data() + offset + 4), bytes.size() - offset - 8);
      std::span<const uint8_t> body = bytes.subspan(offset + 8, length);
      if (std::memcmp(bytes.data() + offset, "data", 4) == 0) return isSmf(body) ? body : std::span<const uint8_t>{};
      offset += 8 + length + (length & 1);
    }
  }
  return {};
}

}  // namespace velmio
