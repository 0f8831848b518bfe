#pragma once
// The text typed so far, for the lookback viewer: two-byte characters as typed, 0x0A for a line
// end, 0x5C for the end of a page. At most 10 completed pages and 90,000 bytes are kept.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmio {

class History {
 public:
  static constexpr size_t kCapacity = 90000;
  static constexpr int kMaxPages = 10;
  static constexpr uint8_t kLineEnd = 0x0A;
  static constexpr uint8_t kPageMark = 0x5C;

  History();

  // Position 0, no pages, first byte zero.
  void Clear();
  // A typed character. When the buffer is then full the whole History is emptied, the character
  // with it; a character that does not fit at all empties it first.
  void AppendCharacter(uint8_t first, uint8_t second);
  void AppendLineEnd();
  // Ends a page; the 11th page mark drops the oldest page.
  void AppendPageMark();
  // Takes back a History a saved game recorded: its text, position and page count, each kept
  // within what the buffer can hold.
  void Restore(std::string_view text, int32_t position, int32_t pageCount);

  size_t Position() const { return position_; }
  int PageCount() const { return pageCount_; }
  // The buffer with a zero byte put at the position, as readers expect it.
  const uint8_t* Terminated();
  const uint8_t* Data() const { return bytes_.data(); }
  // Changes whenever the text, position or page count does, so that a copy can tell it is
  // still current.
  uint64_t Revision() const { return revision_; }

 private:
  void AppendByte(uint8_t byte);
  void DropOldestPage();

  std::vector<uint8_t> bytes_;  // kCapacity bytes; the position never passes kCapacity - 1
  size_t position_ = 0;
  int pageCount_ = 0;
  uint64_t revision_ = 0;
};

}  // namespace velmio
