// Feeds arbitrary picture descriptors to the display-tag parser and checks what it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "graphics/display_tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  std::string_view descriptor(reinterpret_cast<const char*>(data), size);
  TagParse parse = ParsePictureDescriptor(descriptor);
  if (parse.error != TagError::None) return 0;
  const DisplayTag& tag = parse.tag;
  if (tag.fileName.size() > size) std::abort();
  if (tag.hasAnimation) {
    if (tag.cells < 1 || tag.cells > kMaxCells) std::abort();
    if (tag.animationMode < 0 || tag.animationMode > 2) std::abort();
    if (tag.interval == -1 && tag.intervals.size() != static_cast<size_t>(tag.cells)) std::abort();
  }
  if (tag.setsMode && (tag.mode < 0 || tag.mode > 3)) std::abort();
  return 0;
}
