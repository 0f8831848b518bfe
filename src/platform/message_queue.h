#pragma once
#include <deque>
#include <optional>

#include "platform/message.h"

namespace velmio {

// The window's message queue. Backends post into it; the engine takes one message at a time
// (PumpOneMessage) and some waits peek for or remove a particular kind, as the trap does with
// a pending left-button release.
class MessageQueue {
 public:
  void Post(const Message& message) { messages_.push_back(message); }
  bool Empty() const { return messages_.empty(); }
  size_t Size() const { return messages_.size(); }

  std::optional<Message> Take() {
    if (messages_.empty()) return std::nullopt;
    Message message = messages_.front();
    messages_.pop_front();
    return message;
  }

  bool Contains(MessageKind kind) const {
    for (const Message& message : messages_)
      if (message.kind == kind) return true;
    return false;
  }

  // Removes the first message of `kind`; false when there is none.
  bool RemoveFirst(MessageKind kind) {
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
      if (it->kind == kind) {
        messages_.erase(it);
        return true;
      }
    }
    return false;
  }

  // Removes every message of `kind` (a wait discarding clicks made before it began).
  void RemoveAll(MessageKind kind) {
    std::erase_if(messages_, [kind](const Message& message) { return message.kind == kind; });
  }

  // True when player input (buttons, keys, menu commands) is waiting; animation stops early then.
  bool HasInput() const {
    for (const Message& message : messages_) {
      switch (message.kind) {
        case MessageKind::LeftButtonDown:
        case MessageKind::LeftButtonUp:
        case MessageKind::RightButtonDown:
        case MessageKind::RightButtonUp:
        case MessageKind::Character:
        case MessageKind::MenuCommand:
        case MessageKind::Close:
          return true;
        default:
          break;
      }
    }
    return false;
  }

  void Clear() { messages_.clear(); }

 private:
  std::deque<Message> messages_;
};

}  // namespace velmio
