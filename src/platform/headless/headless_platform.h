#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/headless/null_audio_device.h"
#include "platform/platform.h"

namespace velmio {

class EventLog;

// No window, no sound card: a virtual clock that only moves when the engine idles, and input
// from a script delivered one event at a time whenever the engine waits for the player.
class HeadlessPlatform : public Platform {
 public:
  static constexpr uint32_t kSilentPlayerLimit = 30000;
  // Scenario code costs 1 ms of virtual time per slice of statements; once it has run this many
  // slices without waiting for anything it is a busy loop, and every further slice costs
  // kBusySliceCost, so that a loop that never waits meets --max-time in seconds, not minutes.
  static constexpr uint32_t kSlicesBeforeBusy = 1000;
  static constexpr uint32_t kBusySliceCost = 32;

  HeadlessPlatform(std::vector<ScriptEvent> events, uint32_t maxTime);

  uint32_t Milliseconds() override { return now_; }
  void CollectEvents(MessageQueue& queue) override;
  void Idle(uint32_t timeout, WaitKind kind) override;
  void PlayerWaitStarted() override { silentSince_ = now_; }
  void YieldSlice() override;
  MessageBoxAnswer ShowMessageBox(std::string_view text, std::string_view title, MessageBoxStyle style) override;
  bool TakeDialogText(const DialogLabels& labels, std::string& text) override;
  void ChoicesShown(std::span<const ScreenArea> entries) override { choices_.assign(entries.begin(), entries.end()); }
  bool PointerPosition(int& x, int& y) override {
    x = pointerX_;
    y = pointerY_;
    return true;
  }

  // Writes the display as PNG; installed by the engine once it has a display surface.
  void SetScreenshotWriter(std::function<void(const std::string&)> writer) override {
    screenshotWriter_ = std::move(writer);
  }

  // Pulled as the virtual clock moves: a headless run hears exactly what a window would.
  AudioDevice* Audio() override { return &audio_; }
  AudioPull AudioPullKind() const override { return AudioPull::EngineThread; }
  // For --audio-out: receives every frame the device pulls.
  void SetAudioRecorder(NullAudioDevice::Recorder recorder) { audio_.SetRecorder(std::move(recorder)); }

 private:
  void Advance(uint32_t milliseconds);
  void Deliver(const ScriptEvent& event);
  void DeliverKey(uint32_t key);
  void ScheduleLeadingAfters();
  bool NextIsAnswer() const;

  uint32_t now_ = 0;
  uint32_t maxTime_;
  uint32_t silentSince_ = 0;
  uint32_t slicesSinceIdle_ = 0;
  std::vector<ScriptEvent> script_;
  size_t next_ = 0;
  struct Timed {
    uint32_t due;
    ScriptEvent event;
  };
  std::vector<Timed> timed_;  // "after" events, ordered by due time
  std::deque<Message> pending_;
  ScriptAnswer pendingAnswer_ = ScriptAnswer::Default;
  std::deque<std::string> dialogTexts_;
  bool closing_ = false;
  std::vector<ScreenArea> choices_;  // the list shown last, for `choose N`
  int pointerX_ = 0;
  int pointerY_ = 0;
  std::function<void(const std::string&)> screenshotWriter_;
  NullAudioDevice audio_;
};

}  // namespace velmio
