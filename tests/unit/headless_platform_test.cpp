#include "platform/message_queue.h"
#include "unit/test_engine.h"

namespace velmio {
namespace {

// The kinds of the messages that arrive during one wait.
std::vector<MessageKind> IdleFor(HeadlessPlatform& platform, uint32_t milliseconds, WaitKind kind) {
  MessageQueue queue;
  platform.Idle(milliseconds, kind);
  platform.CollectEvents(queue);
  std::vector<MessageKind> kinds;
  while (auto message = queue.Take()) kinds.push_back(message->kind);
  return kinds;
}

TEST(InputScript, ParsesEveryEventAndRejectsMalformedLines) {
  auto events = testing::Events(
      "# comment\n\nclick 10 20\nrclick\nmove 5 6  # trailing comment\nkey space\nkey x\nmenu 40006\n"
      "close\nanswer no\ntext 名前 # kept\nwait 250\nafter 100 click\nscreenshot out/a b.png\n");
  ASSERT_EQ(events.size(), 12u);
  EXPECT_EQ(std::tuple(events[0].hasPosition, events[0].x, events[1].hasPosition, events[10].after),
            std::tuple(true, 10, false, 100u));
  EXPECT_EQ((std::array{events[3].value, events[4].value, events[5].value, events[7].value}),
            (std::array<uint32_t, 4>{' ', 'x', 40006, static_cast<uint32_t>(ScriptAnswer::No)}));
  EXPECT_EQ(std::pair(events[8].text, events[11].text), std::pair(std::string("名前 # kept"), std::string("out/a b.png")));

  for (auto [script, error] : {std::pair{"click\nclik 1 2\n", "line 2: unknown event 'clik'"},
                               {"click 10\n", "line 1: expected X Y"},
                               {"key f1\n", "line 1: unknown key 'f1'"},
                               {"wheel left\n", "line 1: wheel must be up or down"},
                               {"answer maybe\n", "line 1: answer must be yes, no or ok"},
                               {"wait -5\n", "line 1: expected a number of milliseconds"},
                               {"after 5 after 5 click\n", "line 1: after cannot be nested"},
                               {"close now\n", "line 1: unexpected 'now'"}}) {
    std::vector<ScriptEvent> ignored;
    std::string message;
    EXPECT_FALSE(ParseInputScript(script, ignored, message));
    EXPECT_EQ(message, error);
  }
}

// That timed waits (typing, effects) leave the script alone is what every scenario with clicks
// relies on; here the events themselves.
TEST(HeadlessPlatform, DeliversOneEventPerPlayerWaitAndAfterEventsByTime) {
  HeadlessPlatform platform(testing::Events("click 3 4\nwait 500\nkey enter\n"), 600000);
  EXPECT_EQ(IdleFor(platform, 10, WaitKind::Player),
            (std::vector{MessageKind::MouseMove, MessageKind::LeftButtonDown, MessageKind::LeftButtonUp}));
  MessageQueue queue;
  platform.Idle(10, WaitKind::Player);  // "wait 500" passes virtual time, then the key comes
  platform.CollectEvents(queue);
  EXPECT_EQ(platform.Milliseconds(), 500u);
  auto key = queue.Take();
  ASSERT_TRUE(key.has_value());  // keys keep the last pointer position
  EXPECT_EQ(std::tuple(key->kind, key->param, key->x), std::tuple(MessageKind::Character, uint32_t{'\r'}, 3));

  // "after" events arrive by time whatever the engine does: a timed wait stops early at the first.
  HeadlessPlatform timed(testing::Events("after 100 click\nafter 40 key space\n"), 600000);
  EXPECT_EQ(IdleFor(timed, 1000, WaitKind::Timed), (std::vector{MessageKind::Character}));
  EXPECT_EQ(timed.Milliseconds(), 40u);
  EXPECT_EQ(IdleFor(timed, 1000, WaitKind::Timed),
            (std::vector{MessageKind::LeftButtonDown, MessageKind::LeftButtonUp}));
  EXPECT_EQ(timed.Milliseconds(), 100u);
}

TEST(HeadlessPlatform, AnswersAndSilentPlayer) {
  HeadlessPlatform platform(testing::Events("close\nanswer no\n"), 100000);
  EXPECT_EQ(IdleFor(platform, 10, WaitKind::Player), (std::vector{MessageKind::Close}));
  EXPECT_EQ(platform.ShowMessageBox("q", "t", MessageBoxStyle::YesNo), MessageBoxAnswer::No);
  EXPECT_EQ(platform.ShowMessageBox("q", "t", MessageBoxStyle::YesNo), MessageBoxAnswer::Yes);  // default

  // With the script exhausted, 30 s of silence in a player wait closes the window, answering yes.
  platform.PlayerWaitStarted();
  for (int i = 0; i < 28; ++i) platform.Idle(1000, WaitKind::Player);
  EXPECT_TRUE(IdleFor(platform, 1000, WaitKind::Player).empty());
  EXPECT_EQ(IdleFor(platform, 1000, WaitKind::Player), (std::vector{MessageKind::Close}));
  EXPECT_EQ(platform.ShowMessageBox("q", "t", MessageBoxStyle::YesNo), MessageBoxAnswer::Yes);
}

TEST(HeadlessPlatform, BusyLoopsPayMoreOnceTheyNeverWait) {
  HeadlessPlatform platform({}, 600000);
  // Ordinary code between waits costs 1 ms a slice, and any wait starts the count again.
  for (uint32_t i = 0; i < HeadlessPlatform::kSlicesBeforeBusy - 1; ++i) platform.YieldSlice();
  EXPECT_EQ(platform.Milliseconds(), HeadlessPlatform::kSlicesBeforeBusy - 1);
  platform.Idle(1, WaitKind::Timed);
  const uint32_t start = platform.Milliseconds();
  for (uint32_t i = 0; i < HeadlessPlatform::kSlicesBeforeBusy - 1; ++i) platform.YieldSlice();
  EXPECT_EQ(platform.Milliseconds() - start, HeadlessPlatform::kSlicesBeforeBusy - 1);
  // A loop that never waits reaches the default limit in some 20,000 slices, not 600,000.
  int slices = 0;
  try {
    for (;; ++slices) platform.YieldSlice();
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.exitCode, kExitTimeLimit);
  }
  EXPECT_LT(slices, 21000);
}

}  // namespace
}  // namespace velmio
