// window.ini: what the window remembers between runs, kept out of the game's files.
#include <gtest/gtest.h>

#include "files/window_settings.h"
#include "files/xdg_folders.h"

namespace velmio {
namespace {

TEST(WindowSettings, RoundTripThroughTheConfigFolderAndToleratesHandEdits) {
  WindowSettings settings;
  settings.scaling = PictureScaling::Single;
  settings.width = 1280;
  settings.height = 1000;
  settings.largestStartScale = 3;
  ASSERT_TRUE(SaveWindowSettings(settings));  // the velmio folder does not exist yet
  WindowSettings loaded = LoadWindowSettings();
  EXPECT_EQ(loaded.scaling, PictureScaling::Single);
  EXPECT_EQ(loaded.width, 1280);
  EXPECT_EQ(loaded.height, 1000);
  EXPECT_EQ(loaded.largestStartScale, 3);

  // Unknown values, a width without its height and numbers out of range keep the defaults.
  WindowSettings edited =
      ParseWindowSettings("[window]\r\n scaling = integer \r\nwidth=900\nheight=-4\nlargest_start_scale=99\nzoom=2\n");
  EXPECT_EQ(edited.scaling, PictureScaling::Integer);
  EXPECT_EQ(edited.width, 0);
  EXPECT_EQ(edited.height, 0);
  EXPECT_EQ(edited.largestStartScale, 2);
  EXPECT_EQ(ParseWindowSettings("scaling=huge\n").scaling, PictureScaling::Fit);
}

}  // namespace
}  // namespace velmio
