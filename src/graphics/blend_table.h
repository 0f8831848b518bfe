#pragma once
// `BlendTable`: 65,536 bytes, entry [i * 256 + j] = i * j / 255 (integer division).
// Every blend in the system (layers, filters, effects, text window tint) reads this table
// instead of multiplying. It is a constant built at compile time, so it is ready before any
// drawing without an initialisation step.
#include <array>
#include <cstdint>

namespace velmio {

using BlendTable = std::array<uint8_t, 65536>;

constexpr BlendTable MakeBlendTable() {
  BlendTable table{};
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) table[i * 256 + j] = static_cast<uint8_t>(i * j / 255);
  return table;
}

extern const BlendTable kBlendTable;

// The row of the table for weight i: Blend(i)[j] = i * j / 255.
inline const uint8_t* BlendRow(int i) { return kBlendTable.data() + i * 256; }

}  // namespace velmio
