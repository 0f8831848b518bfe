#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "base/program_end.h"
#include "platform/choice_keys.h"
#include "platform/message_queue.h"

namespace velmio {

HeadlessPlatform::HeadlessPlatform(std::vector<ScriptEvent> events, uint32_t maxTime)
    : maxTime_(maxTime), script_(std::move(events)) {
  ScheduleLeadingAfters();
}

// "after" lines are timed from the moment the script reaches them: those at its head from the
// start, the others from the delivery of the event before them.
void HeadlessPlatform::ScheduleLeadingAfters() {
  while (next_ < script_.size() && script_[next_].after) {
    const ScriptEvent& event = script_[next_++];
    Timed timed{now_ + *event.after, event};
    auto at = std::upper_bound(timed_.begin(), timed_.end(), timed.due,
                               [](uint32_t due, const Timed& other) { return due < other.due; });
    timed_.insert(at, std::move(timed));
  }
}

void HeadlessPlatform::Advance(uint32_t milliseconds) {
  uint64_t target = uint64_t{now_} + milliseconds;
  if (target > maxTime_) {
    audio_.Advance(maxTime_ - now_);
    now_ = maxTime_;
    throw ProgramEnd{kExitTimeLimit};
  }
  audio_.Advance(milliseconds);
  now_ = static_cast<uint32_t>(target);
}

void HeadlessPlatform::Deliver(const ScriptEvent& event) {
  auto at = [&](MessageKind kind) {
    if (event.hasPosition) {
      pointerX_ = event.x;
      pointerY_ = event.y;
    }
    pending_.push_back(Message{kind, pointerX_, pointerY_, 0});
  };
  switch (event.kind) {
    case ScriptEventKind::Click:
      if (event.hasPosition) at(MessageKind::MouseMove);
      at(MessageKind::LeftButtonDown);
      at(MessageKind::LeftButtonUp);
      break;
    case ScriptEventKind::RightClick:
      if (event.hasPosition) at(MessageKind::MouseMove);
      at(MessageKind::RightButtonDown);
      at(MessageKind::RightButtonUp);
      break;
    case ScriptEventKind::Move:
      at(MessageKind::MouseMove);
      break;
    case ScriptEventKind::Choose:
      // The centre of the entry's area; an entry that is not there is a click where the pointer is.
      if (event.value < choices_.size()) {
        const ScreenArea& area = choices_[event.value];
        pointerX_ = area.left + area.width / 2;
        pointerY_ = area.top + area.height / 2;
        pending_.push_back(Message{MessageKind::MouseMove, pointerX_, pointerY_, 0});
      }
      at(MessageKind::LeftButtonDown);
      at(MessageKind::LeftButtonUp);
      break;
    case ScriptEventKind::Key:
      DeliverKey(event.value);
      break;
    case ScriptEventKind::Wheel:
      // Down reads on like a click; up asks for the text that went before.
      if (event.value == static_cast<uint32_t>(ScriptWheel::Up)) {
        pending_.push_back(Message{MessageKind::WheelUp, pointerX_, pointerY_, 0});
      } else {
        at(MessageKind::LeftButtonDown);
        at(MessageKind::LeftButtonUp);
      }
      break;
    case ScriptEventKind::Menu:
      pending_.push_back(Message{MessageKind::MenuCommand, 0, 0, event.value});
      break;
    case ScriptEventKind::Close:
      pending_.push_back(Message{MessageKind::Close, 0, 0, 0});
      break;
    case ScriptEventKind::Answer:
      pendingAnswer_ = static_cast<ScriptAnswer>(event.value);
      break;
    case ScriptEventKind::Text:
      dialogTexts_.push_back(event.text);
      break;
    case ScriptEventKind::Screenshot:
      if (screenshotWriter_) screenshotWriter_(event.text);
      break;
    case ScriptEventKind::Wait:
      Advance(event.value);
      break;
  }
}

// The keys reach the engine as a window's keys do: Escape as a right click, the arrows and Tab
// as pointer moves onto the entries of the list shown last, Ctrl as held or released.
void HeadlessPlatform::DeliverKey(uint32_t key) {
  auto post = [&](MessageKind kind, uint32_t param = 0) {
    pending_.push_back(Message{kind, pointerX_, pointerY_, param});
  };
  switch (key) {
    case kScriptKeyEscape:
      post(MessageKind::RightButtonDown);
      post(MessageKind::RightButtonUp);
      return;
    case kScriptKeyCtrlDown:
    case kScriptKeyCtrlUp:
      post(key == kScriptKeyCtrlDown ? MessageKind::KeyDown : MessageKind::KeyUp,
           static_cast<uint32_t>(KeyCode::Control));
      return;
    case kScriptKeyLeft:
    case kScriptKeyRight:
    case kScriptKeyUp:
    case kScriptKeyDown:
    case kScriptKeyTab: {
      ChoiceStep step = key == kScriptKeyLeft || key == kScriptKeyUp ? ChoiceStep::Previous : ChoiceStep::Next;
      if (std::optional<PointerTarget> target = StepThroughChoices(choices_, pointerX_, pointerY_, step)) {
        pointerX_ = target->x;
        pointerY_ = target->y;
        post(MessageKind::MouseMove);
      }
      return;
    }
    default:
      post(MessageKind::Character, key);
  }
}

void HeadlessPlatform::CollectEvents(MessageQueue& queue) {
  while (!timed_.empty() && timed_.front().due <= now_) {
    ScriptEvent event = timed_.front().event;
    timed_.erase(timed_.begin());
    Deliver(event);
  }
  while (!pending_.empty()) {
    queue.Post(pending_.front());
    pending_.pop_front();
  }
}

void HeadlessPlatform::YieldSlice() {
  // Busy scenario code costs virtual time too, so an endless loop still meets --max-time.
  if (slicesSinceIdle_ < kSlicesBeforeBusy) ++slicesSinceIdle_;
  Advance(slicesSinceIdle_ < kSlicesBeforeBusy ? 1 : kBusySliceCost);
}

void HeadlessPlatform::Idle(uint32_t timeout, WaitKind kind) {
  slicesSinceIdle_ = 0;
  if (kind == WaitKind::Player && pending_.empty()) {
    // Deliver script events up to and including the next one that produces input.
    while (next_ < script_.size()) {
      const ScriptEvent& event = script_[next_++];
      Deliver(event);
      ScheduleLeadingAfters();
      silentSince_ = now_;
      if (event.kind != ScriptEventKind::Wait && event.kind != ScriptEventKind::Answer &&
          event.kind != ScriptEventKind::Text) {
        return;
      }
    }
  }
  if (!pending_.empty()) return;
  uint32_t step = std::max<uint32_t>(timeout, 1);
  if (!timed_.empty()) step = std::min(step, std::max<uint32_t>(timed_.front().due - now_, 1));
  Advance(step);
  bool exhausted = next_ >= script_.size() && timed_.empty();
  if (kind == WaitKind::Player && exhausted && !closing_ && now_ - silentSince_ >= kSilentPlayerLimit) {
    // Nobody will ever answer: close the window as the player would.
    closing_ = true;
    pendingAnswer_ = ScriptAnswer::Yes;
    pending_.push_back(Message{MessageKind::Close, 0, 0, 0});
  }
}

bool HeadlessPlatform::NextIsAnswer() const {
  return next_ < script_.size() && script_[next_].kind == ScriptEventKind::Answer && !script_[next_].after;
}

MessageBoxAnswer HeadlessPlatform::ShowMessageBox(std::string_view text, std::string_view title,
                                                  MessageBoxStyle style) {
  ScriptAnswer answer = pendingAnswer_;
  pendingAnswer_ = ScriptAnswer::Default;
  if (answer == ScriptAnswer::Default && NextIsAnswer()) {
    answer = static_cast<ScriptAnswer>(script_[next_++].value);
    ScheduleLeadingAfters();
  }
  if (closing_) answer = ScriptAnswer::Yes;
  if (style == MessageBoxStyle::Ok) return MessageBoxAnswer::Ok;
  return answer == ScriptAnswer::No ? MessageBoxAnswer::No : MessageBoxAnswer::Yes;
}

bool HeadlessPlatform::TakeDialogText(const DialogLabels& labels, std::string& text) {
  if (dialogTexts_.empty() && next_ < script_.size() && script_[next_].kind == ScriptEventKind::Text &&
      !script_[next_].after) {
    dialogTexts_.push_back(script_[next_++].text);
    ScheduleLeadingAfters();
  }
  if (dialogTexts_.empty()) return false;
  text = std::move(dialogTexts_.front());
  dialogTexts_.pop_front();
  return true;
}

}  // namespace velmio
