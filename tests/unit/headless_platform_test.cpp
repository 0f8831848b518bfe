#include "platform/message_queue.h"
#include "unit/test_engine.h"

namespace velmio {
namespace {

std::string ParseError(const std::string& text) {
  std::vector<ScriptEvent> events;
  std::string error;
  EXPECT_FALSE(ParseInputScript(text, events, error));
  return error;
}

std::vector<MessageKind> Kinds(MessageQueue& queue) {
  std::vector<MessageKind> kinds;
  while (auto message = queue.Take()) kinds.push_back(message->kind);
  return kinds;
}

TEST(InputScript, ParsesEveryEventAndRejectsMalformedLines) {
  auto events = testing::Events(
      "# comment\n\nclick 10 20\nrclick\nmove 5 6  # trailing comment\nkey space\nkey x\nmenu 40006\n"
      "close\nanswer no\ntext 名前 # kept\nwait 250\nafter 100 click\nscreenshot out/a b.png\n");
  ASSERT_EQ(events.size(), 12u);
  EXPECT_TRUE(events[0].hasPosition);
  EXPECT_EQ(events[0].x, 10);
  EXPECT_FALSE(events[1].hasPosition);
  EXPECT_EQ(events[3].value, static_cast<uint32_t>(' '));
  EXPECT_EQ(events[4].value, static_cast<uint32_t>('x'));
  EXPECT_EQ(events[5].value, 40006u);
  EXPECT_EQ(events[7].value, static_cast<uint32_t>(ScriptAnswer::No));
  EXPECT_EQ(events[8].text, "名前 # kept");
  EXPECT_EQ(events[10].after, 100u);
  EXPECT_EQ(events[11].text, "out/a b.png");

  EXPECT_EQ(ParseError("click\nclik 1 2\n"), "line 2: unknown event 'clik'");
  EXPECT_EQ(ParseError("click 10\n"), "line 1: expected X Y");
  EXPECT_EQ(ParseError("key f1\n"), "line 1: unknown key 'f1'");
  EXPECT_EQ(ParseError("wheel left\n"), "line 1: wheel must be up or down");
  EXPECT_EQ(ParseError("answer maybe\n"), "line 1: answer must be yes, no or ok");
  EXPECT_EQ(ParseError("wait -5\n"), "line 1: expected a number of milliseconds");
  EXPECT_EQ(ParseError("after 5 after 5 click\n"), "line 1: after cannot be nested");
  EXPECT_EQ(ParseError("close now\n"), "line 1: unexpected 'now'");
}

// That timed waits (typing, effects) leave the script alone is what every scenario with clicks
// relies on; here the events themselves.
TEST(HeadlessPlatform, DeliversOneEventPerPlayerWait) {
  HeadlessPlatform platform(testing::Events("click 3 4\nwait 500\nkey enter\n"), 600000);
  MessageQueue queue;
  platform.Idle(10, WaitKind::Player);
  platform.CollectEvents(queue);
  EXPECT_EQ(Kinds(queue), (std::vector{MessageKind::MouseMove, MessageKind::LeftButtonDown, MessageKind::LeftButtonUp}));

  platform.Idle(10, WaitKind::Player);  // "wait 500" passes virtual time, then the key comes
  platform.CollectEvents(queue);
  EXPECT_EQ(platform.Milliseconds(), 500u);
  auto key = queue.Take();
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->kind, MessageKind::Character);
  EXPECT_EQ(key->param, static_cast<uint32_t>('\r'));
  EXPECT_EQ(key->x, 3);  // keys keep the last pointer position
}

TEST(HeadlessPlatform, AfterEventsArriveByTimeWhateverTheEngineDoes) {
  HeadlessPlatform platform(testing::Events("after 100 click\nafter 40 key space\n"), 600000);
  MessageQueue queue;
  platform.Idle(1000, WaitKind::Timed);  // stops early at the first due event
  EXPECT_EQ(platform.Milliseconds(), 40u);
  platform.CollectEvents(queue);
  EXPECT_EQ(Kinds(queue), (std::vector{MessageKind::Character}));
  platform.Idle(1000, WaitKind::Timed);
  EXPECT_EQ(platform.Milliseconds(), 100u);
  platform.CollectEvents(queue);
  EXPECT_EQ(Kinds(queue), (std::vector{MessageKind::LeftButtonDown, MessageKind::LeftButtonUp}));
}

TEST(HeadlessPlatform, AnswersAndSilentPlayer) {
  HeadlessPlatform platform(testing::Events("close\nanswer no\n"), 100000);
  MessageQueue queue;
  platform.Idle(10, WaitKind::Player);
  platform.CollectEvents(queue);
  EXPECT_EQ(Kinds(queue), (std::vector{MessageKind::Close}));
  EXPECT_EQ(platform.ShowMessageBox("q", "t", MessageBoxStyle::YesNo), MessageBoxAnswer::No);
  EXPECT_EQ(platform.ShowMessageBox("q", "t", MessageBoxStyle::YesNo), MessageBoxAnswer::Yes);  // default

  // With the script exhausted, 30 s of silence in a player wait closes the window, answering yes.
  platform.PlayerWaitStarted();
  for (int i = 0; i < 29; ++i) platform.Idle(1000, WaitKind::Player);
  platform.CollectEvents(queue);
  EXPECT_TRUE(queue.Empty());
  platform.Idle(1000, WaitKind::Player);
  platform.CollectEvents(queue);
  EXPECT_EQ(Kinds(queue), (std::vector{MessageKind::Close}));
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
    for (;;) {
      platform.YieldSlice();
      ++slices;
    }
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.exitCode, kExitTimeLimit);
  }
  EXPECT_LT(slices, 21000);
}

}  // namespace
}  // namespace velmio
