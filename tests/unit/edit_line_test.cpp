#include <gtest/gtest.h>

#include "platform/sdl/edit_line.h"

namespace velmio {
namespace {

// The caret steps over whole characters (of two, three and four bytes), so that moving, erasing
// and typing never leave half a character; a paste stays one line of whole characters.
TEST(EditLine, KeepsCharactersWholeAndTheLineOneLine) {
  EditLine line;
  line.Insert("aあ😀b");
  line.Left();
  line.Left();
  line.Insert("é");
  EXPECT_EQ(line.Text(), "aあé😀b");
  line.Backspace();
  line.Backspace();
  line.Delete();
  EXPECT_EQ(line.Text(), "ab");
  EXPECT_EQ(line.Caret(), 1u);
  line.Home();
  line.Backspace();
  line.End();
  line.Delete();
  line.Right();
  line.Insert("名前\r\nです\t\xE3\x81\xFF");
  EXPECT_EQ(line.Text(), "ab名前です");
  EXPECT_EQ(line.Caret(), line.Text().size());
}

}  // namespace
}  // namespace velmio
