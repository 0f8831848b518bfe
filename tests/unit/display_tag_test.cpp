#include <gtest/gtest.h>

#include <sstream>

#include "graphics/display_tag.h"

namespace velmio {
namespace {

// Everything a parse decided, in one line; "?" marks a mode the tag leaves to the default.
std::string Summary(const std::string& descriptor) {
  const TagParse parse = ParsePictureDescriptor(descriptor);
  const DisplayTag& tag = parse.tag;
  std::ostringstream out;
  out << (tag.hasTag ? "tag" : "plain") << " mode " << tag.mode << (tag.setsMode ? "" : "?");
  if (tag.setsKeyColour) out << " rgb " << tag.keyRed << "," << tag.keyGreen << "," << tag.keyBlue;
  if (tag.setsKeyIndex) out << " index " << tag.keyIndex;
  out << " cells " << tag.cells;
  if (tag.hasAnimation) {
    out << " every " << tag.interval;
    for (int32_t interval : tag.intervals) out << " " << interval;
    out << " anim " << tag.animationMode;
  }
  out << " file " << tag.fileName;
  return out.str();
}

TEST(DisplayTag, WellFormedDescriptors) {
  const std::pair<const char*, const char*> cases[] = {
      {"bg/room.bmp", "plain mode 0? cells 1 file bg/room.bmp"},
      {":a;x.bmp", "tag mode 1 cells 1 file x.bmp"},
      {":l;x.bmp", "tag mode 0 cells 1 file x.bmp"},
      {": \tc ;x.bmp", "tag mode 3 cells 1 file x.bmp"},
      // Any other first character sets nothing and is passed over like the rest of the tag.
      {":x;y.bmp", "tag mode 0? cells 1 file y.bmp"},
      {":#Ff0080;k.bmp", "tag mode 2 rgb 255,0,128 cells 1 file k.bmp"},
      {":!17/2,50,1;k.bmp", "tag mode 2 index 17 cells 2 every 50 anim 1 file k.bmp"},
      {":!99999999999999999999;x.bmp", "tag mode 2 index 2147483647 cells 1 file x.bmp"},  // saturates
      {":l/3,160,2;cursor0.bmp", "tag mode 0 cells 3 every 160 anim 2 file cursor0.bmp"},
      {":l/4,<100,200,100,400>,0;a.bmp", "tag mode 0 cells 4 every -1 100 200 100 400 anim 0 file a.bmp"},
      // The file name may hold commas once the tag has ended.
      {":c/2,10,1;a,b.bmp", "tag mode 3 cells 2 every 10 anim 1 file a,b.bmp"},
  };
  for (const auto& [descriptor, summary] : cases) {
    EXPECT_EQ(ParsePictureDescriptor(descriptor).error, TagError::None) << descriptor;
    EXPECT_EQ(Summary(descriptor), summary);
  }
}

TEST(DisplayTag, MalformedTags) {
  EXPECT_EQ(ParsePictureDescriptor(":#12345g;k.bmp").error, TagError::BadKeyColour);
  EXPECT_EQ(ParsePictureDescriptor(":#123").error, TagError::BadKeyColour);
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

}  // namespace
}  // namespace velmio
