#include <gtest/gtest.h>

#include "platform/sdl/edit_line.h"

namespace velmio {
namespace {

// The caret steps over whole characters (two-, three- and four-byte ones), so that moving,
// erasing and typing in the middle of Japanese text never leaves half a character behind.
TEST(EditLine, CaretAndErasingKeepCharactersWhole) {
  EditLine line;
  line.Insert("aあ😀b");  // 1 + 3 + 4 + 1 bytes
  EXPECT_EQ(line.Caret(), 9u);
  line.Left();
  line.Left();
  EXPECT_EQ(line.Caret(), 4u);
  line.Insert("é");
  EXPECT_EQ(line.Text(), "aあé😀b");
  line.Backspace();
  line.Backspace();
  EXPECT_EQ(line.Text(), "a😀b");
  EXPECT_EQ(line.Caret(), 1u);
  line.Delete();
  EXPECT_EQ(line.Text(), "ab");
  line.Home();
  line.Backspace();  // nothing before the caret
  line.Left();
  EXPECT_EQ(line.Caret(), 0u);
  line.End();
  line.Delete();  // nothing after it
  line.Right();
  EXPECT_EQ(line.Text(), "ab");
  EXPECT_EQ(line.Caret(), 2u);
}

// A pasted paragraph stays one line, and stray bytes (half a character) are not taken in.
TEST(EditLine, PasteDropsLineBreaksAndBrokenCharacters) {
  EditLine line;
  line.Insert("名前\r\nです\t\xE3\x81");
  EXPECT_EQ(line.Text(), "名前です");
  line.Insert("\xFF" "x\x80");
  EXPECT_EQ(line.Text(), "名前ですx");
  EXPECT_EQ(line.Caret(), line.Text().size());
}

}  // namespace
}  // namespace velmio
