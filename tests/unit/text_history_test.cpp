// The History's limits and the line-breaking look-ahead.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/encoding.h"
#include "text/history.h"
#include "text/line_breaking.h"

namespace velmio {
namespace {

std::string Contents(History& history) { return reinterpret_cast<const char*>(history.Terminated()); }

TEST(History, EleventhPageDropsTheOldestAndTrailBytesAreNotMarks) {
  History history;
  // Page 0 holds 表 (0x95 0x5C): its second byte must not be taken for the end of the page.
  std::string first = Sjis("表示");
  history.AppendCharacter(first[0], first[1]);
  history.AppendCharacter(first[2], first[3]);
  history.AppendLineEnd();
  history.AppendPageMark();
  for (int page = 1; page <= 9; ++page) {
    history.AppendCharacter(0x82, static_cast<uint8_t>(0xA0 + page));
    history.AppendPageMark();
  }
  EXPECT_EQ(history.PageCount(), 10);
  EXPECT_EQ(Contents(history).substr(0, 6), first + "\n\\");

  history.AppendCharacter(0x82, 0xB0);
  history.AppendPageMark();
  EXPECT_EQ(history.PageCount(), 10);
  EXPECT_EQ(history.Position(), 30u);
  EXPECT_EQ(Contents(history).substr(0, 3), "\x82\xA1\\");
  EXPECT_EQ(Contents(history).substr(27), "\x82\xB0\\");
}

TEST(History, FullBufferEmptiesItselfAndNothingIsWrittenPastTheEnd) {
  History history;
  for (size_t i = 0; i < History::kCapacity / 2 - 1; ++i) history.AppendCharacter(0x82, 0xA0);
  EXPECT_EQ(history.Position(), History::kCapacity - 2);
  history.AppendLineEnd();  // 89,999 bytes: still fits with the reader's zero
  EXPECT_EQ(history.Position(), History::kCapacity - 1);
  history.AppendCharacter(0x82, 0xA2);  // does not fit: emptied first
  EXPECT_EQ(history.Position(), 2u);
  EXPECT_EQ(history.PageCount(), 0);

  History filling;
  for (size_t i = 0; i < History::kCapacity / 2; ++i) filling.AppendCharacter(0x82, 0xA0);
  EXPECT_EQ(filling.Position(), 0u);  // the character that reached 90,000 bytes went with the rest
  EXPECT_EQ(Contents(filling), "");
}

// Text in a heap block of exactly its size, so reading past it is caught.
std::unique_ptr<char[]> Exact(const std::string& text) {
  auto block = std::make_unique<char[]>(text.size());
  std::copy(text.begin(), text.end(), block.get());
  return block;
}

TEST(LineBreaking, LookAheadCollectsTwoByteCharactersAndWaits) {
  std::string text = Sjis("!w100#ff0000@あ、Aい");
  LookAhead ahead = ScanAhead(text, 0);
  EXPECT_TRUE(ahead.waitFollows);
  ASSERT_EQ(ahead.count, 3);
  EXPECT_EQ(ahead.characters[1], 0x8141);  // 、

  std::string lone = Sjis("あ") + "\x82";
  auto block = Exact(lone);
  LookAhead cut = ScanAhead(std::string_view(block.get(), lone.size()), 0);
  EXPECT_EQ(cut.count, 1);
  EXPECT_FALSE(cut.waitFollows);

  std::string many(300, 'a');
  many += Sjis("あ");
  EXPECT_EQ(ScanAhead(many, 0).count, 0);  // at most 128 units are looked at
}

TEST(LineBreaking, BindingsOfStoryTextAndMenus) {
  auto text = [](const char* utf8) { return TextBinding(ScanAhead(Sjis(utf8), 0)); };
  auto menu = [](const char* utf8) { return MenuBinding(ScanAhead(Sjis(utf8), 0)); };
  EXPECT_EQ(text("あい"), 0);
  EXPECT_EQ(text("「あ"), 1);      // an opening bracket never ends a line
  EXPECT_EQ(text("あ。"), 1);      // a full stop never starts one
  EXPECT_EQ(text("「あ」。"), 3);  // chains
  EXPECT_EQ(text("（）あ"), 1);
  EXPECT_EQ(menu("（）あ"), 2);    // an empty pair of brackets binds one more in menus
  EXPECT_EQ(menu("あい"), 0);
  EXPECT_EQ(menu("「あ"), 1);
}

}  // namespace
}  // namespace velmio
