#include <gtest/gtest.h>

#include "graphics/display_tag.h"

namespace velmio {
namespace {

TEST(DisplayTag, PlainNameHasNoTag) {
  TagParse parse = ParsePictureDescriptor("bg/room.bmp");
  EXPECT_EQ(parse.error, TagError::None);
  EXPECT_FALSE(parse.tag.hasTag);
  EXPECT_FALSE(parse.tag.setsMode);
  EXPECT_EQ(parse.tag.fileName, "bg/room.bmp");
}

TEST(DisplayTag, TransparencyLetters) {
  struct Case {
    const char* descriptor;
    int32_t mode;
  } cases[] = {{":a;x.bmp", 1}, {":l;x.bmp", 0}, {":c;x.bmp", 3}, {": \tc ;x.bmp", 3}};
  for (const Case& c : cases) {
    TagParse parse = ParsePictureDescriptor(c.descriptor);
    ASSERT_EQ(parse.error, TagError::None) << c.descriptor;
    EXPECT_TRUE(parse.tag.setsMode) << c.descriptor;
    EXPECT_EQ(parse.tag.mode, c.mode) << c.descriptor;
    EXPECT_EQ(parse.tag.fileName, "x.bmp") << c.descriptor;
  }
  // Any other first character sets nothing and is passed over like the rest of the tag.
  TagParse other = ParsePictureDescriptor(":x;y.bmp");
  EXPECT_EQ(other.error, TagError::None);
  EXPECT_FALSE(other.tag.setsMode);
  EXPECT_EQ(other.tag.fileName, "y.bmp");
}

TEST(DisplayTag, ColourAndIndexKeys) {
  TagParse colour = ParsePictureDescriptor(":#Ff0080;k.bmp");
  ASSERT_EQ(colour.error, TagError::None);
  EXPECT_EQ(colour.tag.mode, 2);
  EXPECT_TRUE(colour.tag.setsKeyColour);
  EXPECT_EQ(colour.tag.keyRed, 255);
  EXPECT_EQ(colour.tag.keyGreen, 0);
  EXPECT_EQ(colour.tag.keyBlue, 128);
  EXPECT_EQ(colour.tag.fileName, "k.bmp");

  TagParse index = ParsePictureDescriptor(":!17/2,50,1;k.bmp");
  ASSERT_EQ(index.error, TagError::None);
  EXPECT_EQ(index.tag.mode, 2);
  EXPECT_TRUE(index.tag.setsKeyIndex);
  EXPECT_EQ(index.tag.keyIndex, 17);
  EXPECT_EQ(index.tag.cells, 2);

  EXPECT_EQ(ParsePictureDescriptor(":#12345g;k.bmp").error, TagError::BadKeyColour);
  EXPECT_EQ(ParsePictureDescriptor(":#123").error, TagError::BadKeyColour);
}

TEST(DisplayTag, Animation) {
  TagParse fixed = ParsePictureDescriptor(":l/3,160,2;cursor0.bmp");
  ASSERT_EQ(fixed.error, TagError::None);
  EXPECT_EQ(fixed.tag.mode, 0);
  EXPECT_EQ(fixed.tag.cells, 3);
  EXPECT_EQ(fixed.tag.interval, 160);
  EXPECT_TRUE(fixed.tag.intervals.empty());
  EXPECT_EQ(fixed.tag.animationMode, 2);
  EXPECT_EQ(fixed.tag.fileName, "cursor0.bmp");

  TagParse table = ParsePictureDescriptor(":l/4,<100,200,100,400>,0;a.bmp");
  ASSERT_EQ(table.error, TagError::None);
  EXPECT_EQ(table.tag.cells, 4);
  EXPECT_EQ(table.tag.interval, -1);
  EXPECT_EQ(table.tag.intervals, (std::vector<int32_t>{100, 200, 100, 400}));
  EXPECT_EQ(table.tag.animationMode, 0);
  EXPECT_EQ(table.tag.fileName, "a.bmp");

  // The file name may hold commas once the tag has ended.
  TagParse comma = ParsePictureDescriptor(":c/2,10,1;a,b.bmp");
  ASSERT_EQ(comma.error, TagError::None);
  EXPECT_EQ(comma.tag.fileName, "a,b.bmp");
}

TEST(DisplayTag, MalformedTags) {
  const char* malformed[] = {
      ":l/3,160;x.bmp",             // no animation mode: the search for ',' must not cross ';'
      ":l/3,160",                   // ends where a ',' is expected
      ":a",                         // no ';'
      ":a/2,10,0",                  // no ';' after a complete animation
      ":l/3,<1,2,3,0;x.bmp",        // last table interval not followed by '>'
      ":l/3,<1,2",                  // table cut short
      ":l/0,100,0;x.bmp",           // zero cells
      ":l/-2,100,0;x.bmp",          // negative cells
      ":l/99999,100,0;x.bmp",       // absurd cell count
      ":l/2,100,3;x.bmp",           // animation mode outside 0..2
      ":l/2,100,-1;x.bmp",
      ":l/2,-1,0;x.bmp",            // negative interval
      ":l/2,<5,-5>,0;x.bmp",
      ":",
  };
  for (const char* descriptor : malformed)
    EXPECT_EQ(ParsePictureDescriptor(descriptor).error, TagError::Malformed) << descriptor;
}

TEST(DisplayTag, HugeNumbersSaturate) {
  TagParse parse = ParsePictureDescriptor(":!99999999999999999999;x.bmp");
  ASSERT_EQ(parse.error, TagError::None);
  EXPECT_EQ(parse.tag.keyIndex, 2147483647);
}

}  // namespace
}  // namespace velmio
