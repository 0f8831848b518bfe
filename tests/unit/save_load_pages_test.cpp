// The save and load pages driven by clicks at the positions README.md gives: slot geometry and
// labels, saving through the confirmation, "いいえ" back to the list, an empty slot refused for
// loading (with its voice), a right click leaving without touching any file.
#include <filesystem>

#include "game_folder.h"
#include "persist/save_files.h"
#include "persist/state_record.h"
#include "platform/headless/input_script.h"
#include "sound_test_support.h"
#include "test_engine.h"
#include "ui/save_load_pages.h"

namespace velmio::testing {
namespace {

TEST(SaveLoadPagesTest, GeometryLabelsAndDates) {
  // Start-up values: title at y 100, first slot at 156, ninth at 380.
  SlotListGeometry nine = ComputeSlotListGeometry(9, 10, 34, 26, 28);
  EXPECT_EQ(std::tuple(nine.titleX, nine.titleY, nine.left, nine.right, nine.top + 8 * nine.pitchY), std::tuple(255, 100, 99, 541, 380));
  SlotListGeometry twelve = ComputeSlotListGeometry(12, 10, 36, 26, 28);
  EXPECT_EQ(std::pair(twelve.top, twelve.titleY), std::pair(100, 44));

  EXPECT_EQ(FormatSlotDate(3, 5, 13, 7), Sjis("　３月　５日１３時０７分"));
  EXPECT_EQ(SlotLabel(Sjis("しおり"), 12, 2, ""), Sjis("しおり　３　－－－－－－－－－－－－"));
  EXPECT_EQ(SlotLabel(Sjis("しおり"), 12, 9, "x"), Sjis("しおり１０　x"));
  EXPECT_EQ(SlotLabel(Sjis("しおり"), 9, 0, ""), Sjis("しおり１　－－－－－－－－－－－－"));
}

TEST(SaveLoadPagesTest, SaveThroughConfirmationAndLoadRefusesEmptySlots) {
  const std::filesystem::path voice = std::filesystem::absolute(MediaPath("tone440-8000-mono-ima.wav"));
  GameFolder folder;
  // Slot 3, "いいえ" (back to the list), slot 3 again, "はい".
  TestEngine saving(Events("click 320 226\nclick 410 280\nclick 320 226\nclick 250 280\n"));
  saving.Load("*define\ngame\n*start\nwait 1\n");
  saving.engine.script.variables.SetNumber(1, 42);
  TakeSnapshot(saving.engine);
  saving.engine.text.menuMode = true;
  SavePage(saving.engine);
  EXPECT_EQ(std::filesystem::file_size("save3.dat"), saving.engine.persist.snapshot.Bytes().size());

  // Slot 5 has no file: the click is refused with the refusal voice and the list stays; a right
  // click leaves.
  std::filesystem::copy_file(voice, "refused.wav");
  TestEngine refusing(Events("click 320 282\nrclick 320 282\n"));
  refusing.Load("*define\ngame\n*start\nwait 1\n");
  refusing.engine.ui.menuVoices[static_cast<int>(MenuVoice::Refused)] = "refused.wav";
  refusing.engine.text.menuMode = true;
  LoadPage(refusing.engine);
  EXPECT_FALSE(refusing.engine.script.loadRequest);
  EXPECT_EQ(refusing.engine.sound.waveName, "refused.wav");
  EXPECT_FALSE(std::filesystem::exists("save5.dat"));

  TestEngine loading(Events("click 320 226\nclick 250 280\n"));
  loading.Load("*define\ngame\n*start\nwait 1\n");
  loading.engine.text.menuMode = true;
  LoadPage(loading.engine);
  EXPECT_TRUE(loading.engine.script.loadRequest);
  EXPECT_EQ(loading.engine.script.Number(1), 42);
  EXPECT_FALSE(loading.engine.text.menuMode);
}

}  // namespace
}  // namespace velmio::testing
