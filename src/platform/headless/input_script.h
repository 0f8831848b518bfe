#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmio {

enum class ScriptEventKind : uint8_t {
  Click, RightClick, Move, Key, Menu, Close, Answer, Text, Wait, Screenshot, Choose, Wheel
};

// `key` values beyond the printable characters (those are their own codes).
enum ScriptKey : uint32_t {
  kScriptKeyEscape = 27,
  kScriptKeyCtrlDown = 0x100,
  kScriptKeyCtrlUp,
  kScriptKeyLeft,
  kScriptKeyRight,
  kScriptKeyUp,
  kScriptKeyDown,
  kScriptKeyTab,
};

enum class ScriptWheel : uint32_t { Down, Up };

struct ScriptEvent {
  ScriptEventKind kind = ScriptEventKind::Click;
  bool hasPosition = false;
  int x = 0;
  int y = 0;
  uint32_t value = 0;  // key character, menu id, wait or after milliseconds, answer, entry
  std::string text;    // text answer or screenshot file
  std::optional<uint32_t> after;  // "after MS EVENT": delivered by time, not at a player wait
  int line = 0;
};

enum class ScriptAnswer : uint32_t { Default, Yes, No, Ok };

// Parses an input script. On a malformed line returns false and describes it in `error`
// ("line 3: unknown event 'clik'").
bool ParseInputScript(const std::string& content, std::vector<ScriptEvent>& events, std::string& error);

}  // namespace velmio
