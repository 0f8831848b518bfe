#include "text/text_state.h"

namespace velmio {

TextLayers::TextLayers() : coverage(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0) {
  colour.Create(kScreenWidth, kScreenHeight, 24);
}

void TextLayers::Clear() {
  std::fill(coverage.begin(), coverage.end(), 0);
  if (colour.pixels) std::fill(colour.pixelStore.begin(), colour.pixelStore.end(), 0);
}

}  // namespace velmio
