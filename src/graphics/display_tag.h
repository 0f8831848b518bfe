#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmio {

// What a picture descriptor asks for: an optional display tag (":a/3,100,0;") and the file
// name after it. Parsing never touches a layer, so it can be tested and fuzzed on its own.
struct DisplayTag {
  bool hasTag = false;  // the descriptor began with ':'

  // Transparency letter. `mode` is one of the layer's transparency modes (0 top-left key,
  // 1 alpha mask, 2 colour key, 3 copy); without a letter the default mode applies.
  bool setsMode = false;
  int32_t mode = 0;
  bool setsKeyColour = false;  // "#rrggbb"
  int32_t keyRed = 0;
  int32_t keyGreen = 0;
  int32_t keyBlue = 0;
  bool setsKeyIndex = false;  // "!n"
  int32_t keyIndex = 0;

  // Cell animation ("/cells,interval,mode" or "/cells,<i1,i2,...>,mode").
  bool hasAnimation = false;
  int32_t cells = 1;
  int32_t interval = 0;  // -1: one interval per cell in `intervals`
  std::vector<int32_t> intervals;
  int32_t animationMode = 0;

  std::string fileName;
};

enum class TagError : uint8_t {
  None,
  Malformed,      // a missing ',' / ';' / '>' or an unsupported value
  BadKeyColour,   // "#" not followed by six hexadecimal digits
};

struct TagParse {
  TagError error = TagError::None;
  DisplayTag tag;
};

// Cell counts and intervals beyond these are refused as malformed: no picture has that many
// cells, and the bound keeps the interval table small whatever the input.
constexpr int32_t kMaxCells = 4096;

TagParse ParsePictureDescriptor(std::string_view descriptor);

}  // namespace velmio
