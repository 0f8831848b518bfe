// The window procedure's flags, the close confirmation and the menu commands, full screen included.
#include "shell/menu_commands.h"
#include "shell/window_procedure.h"
#include "test_engine.h"

namespace velmio::testing {
namespace {

struct Window : EngineOn<RecordingPlatform> {
  explicit Window(const std::string& script = "") : EngineOn(Events(script)) {}
  // The pointer is where the message happened.
  void Send(MessageKind kind, int x = 0, int y = 0, uint32_t param = 0) {
    std::tie(platform.pointerX, platform.pointerY) = std::pair(x, y);
    WindowProcedure(engine, Message{kind, x, y, param});
  }
  void Menu(uint32_t id) { HandleMenuCommand(engine, id); }
  // Dispatches what the commands posted (the pointer nudge after a mode switch).
  void Pump() {
    while (!engine.messages.Empty()) engine.PumpOneMessage();
  }
};

TEST(WindowProcedure, ReleasesClickAndMarkThePositionUnlessTheyEndSkipModeKeysOnlyClick) {
  Window window;
  InputState& input = window.engine.input;
  window.Send(MessageKind::LeftButtonUp, 10, 20);
  EXPECT_EQ(std::tuple(input.clickFlag, input.clickX, input.clickY, input.lastMessage),
            std::tuple(true, 10, 20, static_cast<int>(MessageKind::LeftButtonUp)));

  input.clickFlag = false;
  input.skipMode = true;
  window.Send(MessageKind::LeftButtonUp, 30, 40);
  // The click that ends skip mode is not a click position.
  EXPECT_EQ(std::tuple(input.clickFlag, input.skipMode, input.clickX, input.mouseX), std::tuple(true, false, 10, 10));

  input.clickFlag = false;
  input.skipMode = true;
  window.Send(MessageKind::RightButtonUp, 5, 6);
  EXPECT_FALSE(input.skipMode || input.rightClickFlag) << "a right click during skip mode only ends it";
  window.Send(MessageKind::RightButtonUp, 7, 8);
  EXPECT_EQ(std::pair(input.rightClickFlag, input.clickX), std::pair(true, 7));

  input.rightClickFlag = false;
  for (auto [key, clicks] : {std::pair{'a', false}, {'\x1b', false}, {' ', true}, {'\r', true}}) {
    input.clickFlag = false;
    window.Send(MessageKind::Character, 0, 0, static_cast<uint32_t>(key));
    EXPECT_EQ(input.clickFlag, clicks) << static_cast<int>(key);
  }
  input.clickFlag = false;
  window.Send(MessageKind::MouseMove, 100, 200);
  EXPECT_EQ(std::tuple(input.mouseX, input.mouseY, input.clickX), std::tuple(100, 200, 7));
  window.Send(MessageKind::LeftButtonDown, 110, 210);
  window.Send(MessageKind::RightButtonDown, 120, 220);
  EXPECT_EQ(std::tuple(input.clickX, input.clickFlag, input.rightClickFlag), std::tuple(120, false, false));
}

TEST(WindowProcedure, QuitAsksNoKeepsTheGameAndItsTimerYesEndsSkipAutoclickAndTheProgram) {
  Window window("answer no\nanswer yes\n");
  StartWindowTimer(window.engine);
  window.Menu(menu_id::kQuit);
  ASSERT_EQ(window.engine.messages.Size(), 1u);
  window.Pump();  // the close, answered no
  EXPECT_TRUE(window.engine.shell.timerRunning && window.engine.messages.Empty());

  window.engine.input.skipMode = true;
  window.engine.text.autoClick = true;
  try {
    window.Send(MessageKind::Close);
    ADD_FAILURE() << "the program went on";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.exitCode, kExitNormal);
  }
  EXPECT_FALSE(window.engine.input.skipMode || window.engine.text.autoClick);
}

TEST(WindowProcedure, CustomCursorOnlyStrictlyInsideThePicture) {
  Window window;
  window.engine.shell.customCursor = true;
  for (auto [x, y] : {std::pair{0, 10}, {639, 0}, {640, 10}, {10, 480}, {-3, 5}})
    window.Send(MessageKind::MouseMove, x, y);
  EXPECT_TRUE(window.platform.cursors.empty());
  window.Send(MessageKind::MouseMove, 1, 1);
  window.Send(MessageKind::Timer, 1, 1);
  window.Send(MessageKind::LeftButtonUp, 639, 479);
  EXPECT_EQ(window.platform.cursors.size(), 2u) << "every message but the timer, while inside";
}

TEST(MenuCommands, FullScreenShowsTheMenuBarOnlyInTheTopRowsAndARefusalIsFatal) {
  Window window;
  ShellState& shell = window.engine.shell;
  window.Menu(menu_id::kFullScreen);
  EXPECT_TRUE(shell.fullScreen);
  // The nudge posted by the switch lands in the top rows and brings the bar; each change of
  // side is one call to the platform.
  window.Pump();
  window.Send(MessageKind::MouseMove, 300, 20);
  window.Send(MessageKind::MouseMove, 300, 400);
  window.Send(MessageKind::MouseMove, 300, 19);
  EXPECT_EQ(window.platform.menuStates,
            (std::vector<MenuBarState>{MenuBarState::Detached, MenuBarState::Attached, MenuBarState::Detached,
                                       MenuBarState::Attached}));

  // Asking again changes nothing.
  window.Menu(menu_id::kFullScreen);
  EXPECT_EQ(std::pair(window.platform.modeRequests, window.engine.messages.Empty()), std::pair(1, true));

  window.Menu(menu_id::kWindow);
  EXPECT_FALSE(shell.fullScreen);
  window.Pump();
  window.Send(MessageKind::MouseMove, 300, 400);
  EXPECT_EQ(window.platform.menuStates.back(), MenuBarState::Attached) << "a window keeps its menu bar";
  window.Menu(menu_id::kWindow);
  EXPECT_EQ(window.platform.modeRequests, 2);

  // A refused way back to the window is given up quietly after ten refusals.
  window.Menu(menu_id::kFullScreen);  // the third request
  window.Pump();
  window.platform.grantWindow = false;
  uint32_t before = window.platform.Milliseconds();
  window.Menu(menu_id::kWindow);
  EXPECT_EQ(std::tuple(window.engine.shell.fullScreen, window.platform.modeRequests, window.engine.messages.Empty()),
            std::tuple(true, 3 + 10, true));
  EXPECT_GE(window.platform.Milliseconds() - before, 45u) << "a short pause between the attempts";

  Window refused;
  refused.platform.grantFullScreen = false;
  EXPECT_EQ(refused.ErrorOf([&] { refused.Menu(menu_id::kFullScreen); }), "error: DISP_CHANGE_FAILED");
}

TEST(MenuCommands, FontItemsChooseTheFaceAndStrayIdsChangeNothing) {
  Window window;
  Interpreter& engine = window.engine;
  engine.shell.menu.SetFonts({"IPAGothic", Sjis("ＭＳ ゴシック")});
  engine.text.configuredFontFace = "Configured";
  for (uint32_t id : {2u, 0u, 3u, 255u, 39999u, 40009u, 99999u}) window.Menu(id);  // the stray ids change nothing
  EXPECT_EQ(std::pair(engine.text.defaultFontFace, engine.shell.menu.checkedFontItem), std::pair(Sjis("ＭＳ ゴシック"), 2u));
  window.Menu(menu_id::kDefaultFont);
  EXPECT_EQ(std::pair(engine.text.defaultFontFace, engine.shell.menu.checkedFontItem),
            std::pair(std::string("Configured"), menu_id::kDefaultFont));
}

}  // namespace
}  // namespace velmio::testing
