#include "platform/headless/input_script.h"

#include <charconv>
#include <sstream>

namespace velmio {
namespace {

bool ParseNumber(const std::string& word, long long& value) {
  const char* end = word.data() + word.size();
  auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

bool ParseEvent(std::istringstream& words, ScriptEvent& event, std::string& error) {
  std::string name;
  words >> name;
  auto readPosition = [&]() -> bool {
    std::string x, y;
    if (!(words >> x)) return true;  // no position: the last pointer position
    long long valueX, valueY;
    if (!(words >> y) || !ParseNumber(x, valueX) || !ParseNumber(y, valueY)) {
      error = "expected X Y";
      return false;
    }
    event.hasPosition = true;
    event.x = static_cast<int>(valueX);
    event.y = static_cast<int>(valueY);
    return true;
  };
  auto readMilliseconds = [&]() -> bool {
    std::string word;
    long long value;
    if (!(words >> word) || !ParseNumber(word, value) || value < 0 || value > 0xFFFFFFFFll) {
      error = "expected a number of milliseconds";
      return false;
    }
    event.value = static_cast<uint32_t>(value);
    return true;
  };
  auto restOfLine = [&]() {
    std::string rest;
    std::getline(words, rest);
    size_t start = rest.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : rest.substr(start);
  };

  if (name == "click" || name == "rclick") {
    event.kind = name == "click" ? ScriptEventKind::Click : ScriptEventKind::RightClick;
    return readPosition();
  }
  if (name == "move") {
    event.kind = ScriptEventKind::Move;
    if (!readPosition()) return false;
    if (!event.hasPosition) error = "move needs X Y";
    return event.hasPosition;
  }
  if (name == "key") {
    event.kind = ScriptEventKind::Key;
    std::string key;
    words >> key;
    if (key == "space") event.value = ' ';
    else if (key == "enter") event.value = '\r';
    else if (key == "escape") event.value = kScriptKeyEscape;
    else if (key == "ctrl-down") event.value = kScriptKeyCtrlDown;
    else if (key == "ctrl-up") event.value = kScriptKeyCtrlUp;
    else if (key == "left") event.value = kScriptKeyLeft;
    else if (key == "right") event.value = kScriptKeyRight;
    else if (key == "up") event.value = kScriptKeyUp;
    else if (key == "down") event.value = kScriptKeyDown;
    else if (key == "tab") event.value = kScriptKeyTab;
    else if (key.size() == 1 && key[0] > 32 && key[0] < 127) event.value = static_cast<unsigned char>(key[0]);
    else {
      error = "unknown key '" + key + "'";
      return false;
    }
    return true;
  }
  if (name == "wheel") {
    event.kind = ScriptEventKind::Wheel;
    std::string direction;
    words >> direction;
    if (direction == "up") event.value = static_cast<uint32_t>(ScriptWheel::Up);
    else if (direction == "down") event.value = static_cast<uint32_t>(ScriptWheel::Down);
    else {
      error = "wheel must be up or down";
      return false;
    }
    return true;
  }
  if (name == "menu") {
    event.kind = ScriptEventKind::Menu;
    return readMilliseconds();  // a menu id reads like any unsigned number
  }
  if (name == "choose") {
    event.kind = ScriptEventKind::Choose;
    std::string word;
    long long entry;
    if (!(words >> word) || !ParseNumber(word, entry) || entry < 0 || entry > 0xFFFFFFFFll) {
      error = "choose needs an entry number from 0";
      return false;
    }
    event.value = static_cast<uint32_t>(entry);
    return true;
  }
  if (name == "close") {
    event.kind = ScriptEventKind::Close;
    return true;
  }
  if (name == "answer") {
    event.kind = ScriptEventKind::Answer;
    std::string answer;
    words >> answer;
    if (answer == "yes") event.value = static_cast<uint32_t>(ScriptAnswer::Yes);
    else if (answer == "no") event.value = static_cast<uint32_t>(ScriptAnswer::No);
    else if (answer == "ok") event.value = static_cast<uint32_t>(ScriptAnswer::Ok);
    else {
      error = "answer must be yes, no or ok";
      return false;
    }
    return true;
  }
  if (name == "text") {
    event.kind = ScriptEventKind::Text;
    event.text = restOfLine();
    return true;
  }
  if (name == "wait") {
    event.kind = ScriptEventKind::Wait;
    return readMilliseconds();
  }
  if (name == "screenshot") {
    event.kind = ScriptEventKind::Screenshot;
    event.text = restOfLine();
    if (event.text.empty()) error = "screenshot needs a file name";
    return !event.text.empty();
  }
  if (name == "after") {
    if (!readMilliseconds()) return false;
    uint32_t delay = event.value;
    event.value = 0;
    if (!ParseEvent(words, event, error)) return false;
    if (event.after) {
      error = "after cannot be nested";
      return false;
    }
    event.after = delay;
    return true;
  }
  error = "unknown event '" + name + "'";
  return false;
}

}  // namespace

bool ParseInputScript(const std::string& content, std::vector<ScriptEvent>& events, std::string& error) {
  std::istringstream lines(content);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // '#' starts a comment, except inside the free text of `text` and `screenshot`.
    std::istringstream probe(line);
    std::string first;
    probe >> first;
    if (first.empty() || first[0] == '#') continue;
    if (first != "text" && first != "screenshot" && first != "after") {
      size_t hash = line.find('#');
      if (hash != std::string::npos) line.resize(hash);
    }
    std::istringstream words(line);
    ScriptEvent event;
    event.line = number;
    std::string problem;
    if (!ParseEvent(words, event, problem)) {
      error = "line " + std::to_string(number) + ": " + problem;
      return false;
    }
    std::string extra;
    if (event.kind != ScriptEventKind::Text && event.kind != ScriptEventKind::Screenshot && (words >> extra) &&
        extra[0] != '#') {
      error = "line " + std::to_string(number) + ": unexpected '" + extra + "'";
      return false;
    }
    events.push_back(std::move(event));
  }
  return true;
}

}  // namespace velmio
