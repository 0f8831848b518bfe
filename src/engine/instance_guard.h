#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

namespace velmio {

class EventLog;
class InstanceLock;

enum class InstanceScope : uint8_t {
  User,        // a player's window: one copy per user
  GameFolder,  // a headless run: one copy per game folder (the current folder)
};

// Takes the lock that keeps two copies from playing at once. False when another copy holds it;
// a lock that cannot be made at all lets the program run unguarded.
bool TakeInstanceLock(InstanceLock& lock, InstanceScope scope);

// Tells the player that another copy is running: the refusal goes to the log and is shown by
// `show` (text, title; Shift JIS). Returns the exit code of the refused copy.
int RefuseSecondCopy(EventLog& log, const std::function<void(std::string_view, std::string_view)>& show);

}  // namespace velmio
