#include "host/headless/script.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace kaze::host {

namespace {

constexpr uint32_t kLeftButton = 0x01, kRightButton = 0x02, kAlt = 0x12;
constexpr uint64_t kClickRelease = 100;

bool ParseNumber(std::string_view text, int64_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool KeyCode(std::string name, uint32_t& code) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  static const struct {
    const char* name;
    uint32_t code;
  } kNamed[] = {{"SPACE", 0x20}, {"ESC", 0x1B}, {"ESCAPE", 0x1B}, {"ENTER", 0x0D}, {"RETURN", 0x0D},
                {"TAB", 0x09},   {"ALT", 0x12}, {"SHIFT", 0x10},  {"CTRL", 0x11},  {"BACKSPACE", 0x08},
                {"LEFT", 0x25},  {"UP", 0x26},  {"RIGHT", 0x27},  {"DOWN", 0x28}};
  for (const auto& key : kNamed)
    if (name == key.name) return code = key.code, true;
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
    return code = static_cast<uint32_t>(name[0]), true;
  int64_t f = 0;
  if (name.size() >= 2 && name[0] == 'F' && ParseNumber(name.substr(1), f) && f >= 1 && f <= 12)
    return code = static_cast<uint32_t>(0x70 + f - 1), true;
  return false;
}

ScriptAction QueueKey(uint64_t time, uint32_t code, bool down, bool alt) {
  ScriptAction action;
  action.time = time;
  action.kind = ScriptAction::Kind::QueueEvent;
  action.event.kind = Event::Kind::Key;
  action.event.virtualKey = code;
  action.event.down = down;
  action.event.alt = alt;
  return action;
}

ScriptAction HoldKey(uint64_t time, uint32_t code, bool down) {
  ScriptAction action;
  action.time = time;
  action.kind = ScriptAction::Kind::HoldKey;
  action.virtualKey = code;
  action.down = down;
  return action;
}

ScriptAction Pointer(uint64_t time, int32_t x, int32_t y) {
  ScriptAction action;
  action.time = time;
  action.kind = ScriptAction::Kind::MovePointer;
  action.x = x;
  action.y = y;
  return action;
}

ScriptAction Button(uint64_t time, uint32_t button, bool down) {
  ScriptAction action;
  action.time = time;
  action.kind = ScriptAction::Kind::Button;
  action.virtualKey = button;
  action.down = down;
  return action;
}

ScriptAction Queue(uint64_t time, Event event) {
  ScriptAction action;
  action.time = time;
  action.kind = ScriptAction::Kind::QueueEvent;
  action.event = event;
  return action;
}

// Held keys change both the state and the queue, as a real key does.
void AppendKeyChange(std::vector<ScriptAction>& actions, uint64_t time, uint32_t code, bool down, bool alt) {
  actions.push_back(HoldKey(time, code, down));
  actions.push_back(QueueKey(time, code, down, alt));
}

bool ParseButton(const std::string& word, uint32_t& button) {
  if (word == "left") return button = kLeftButton, true;
  if (word == "right") return button = kRightButton, true;
  return false;
}

bool ParsePoint(std::istringstream& in, int32_t& x, int32_t& y) {
  std::string xs, ys;
  int64_t xv = 0, yv = 0;
  if (!(in >> xs >> ys) || !ParseNumber(xs, xv) || !ParseNumber(ys, yv)) return false;
  if (xv < -100000 || xv > 100000 || yv < -100000 || yv > 100000) return false;
  x = static_cast<int32_t>(xv);
  y = static_cast<int32_t>(yv);
  return true;
}

bool ParseKeyLine(std::istringstream& in, uint64_t time, std::vector<ScriptAction>& actions, std::string& why) {
  std::string first, second;
  if (!(in >> first)) return why = "key needs a key name", false;
  if (first == "down" || first == "up") {
    uint32_t code = 0;
    if (!(in >> second) || !KeyCode(second, code)) return why = "unknown key", false;
    AppendKeyChange(actions, time, code, first == "down", false);
    return true;
  }
  bool alt = false;
  std::string name = first;
  std::string upper = first;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (upper.rfind("ALT+", 0) == 0) {
    alt = true;
    name = first.substr(4);
  }
  uint32_t code = 0;
  if (!KeyCode(name, code)) return why = "unknown key '" + first + "'", false;
  AppendKeyPress(actions, time, code, alt);
  return true;
}

bool ParseLine(std::string_view line, std::vector<ScriptAction>& actions, std::string& why) {
  std::istringstream in{std::string(line)};
  std::string timeText, verb;
  if (!(in >> timeText)) return true;  // blank
  int64_t time = 0;
  if (!ParseNumber(timeText, time) || time < 0) return why = "a line starts with its time in ms", false;
  if (!(in >> verb)) return why = "missing event after the time", false;
  const auto t = static_cast<uint64_t>(time);
  std::string word;
  if (verb == "mouse") {
    int32_t x = 0, y = 0;
    if (!ParsePoint(in, x, y)) return why = "mouse needs x y", false;
    actions.push_back(Pointer(t, x, y));
    Event move;
    move.kind = Event::Kind::MouseMove;
    move.x = x, move.y = y;
    actions.push_back(Queue(t, move));
  } else if (verb == "down" || verb == "up") {
    uint32_t button = 0;
    if (!(in >> word) || !ParseButton(word, button)) return why = verb + " needs left or right", false;
    actions.push_back(Button(t, button, verb == "down"));
  } else if (verb == "click") {
    uint32_t button = 0;
    int32_t x = 0, y = 0;
    if (!(in >> word) || !ParseButton(word, button)) return why = "click needs left or right", false;
    if (!ParsePoint(in, x, y)) return why = "click needs x y", false;
    actions.push_back(Pointer(t, x, y));
    actions.push_back(Button(t, button, true));
    actions.push_back(Button(t + kClickRelease, button, false));
  } else if (verb == "key") {
    if (!ParseKeyLine(in, t, actions, why)) return false;
  } else if (verb == "focus") {
    if (!(in >> word) || (word != "lost" && word != "gained")) return why = "focus needs lost or gained", false;
    Event focus;
    focus.kind = Event::Kind::Focus;
    focus.gained = word == "gained";
    actions.push_back(Queue(t, focus));
  } else if (verb == "close") {
    Event close;
    close.kind = Event::Kind::Close;
    actions.push_back(Queue(t, close));
  } else if (verb == "lose-surfaces") {
    Event lost;
    lost.kind = Event::Kind::SurfacesLost;
    actions.push_back(Queue(t, lost));
  } else {
    return why = "unknown event '" + verb + "'", false;
  }
  if (in >> word) return why = "unexpected '" + word + "' at the end of the line", false;
  return true;
}

}  // namespace

void AppendKeyPress(std::vector<ScriptAction>& actions, uint64_t time, uint32_t virtualKey, bool alt) {
  if (alt) AppendKeyChange(actions, time, kAlt, true, true);
  AppendKeyChange(actions, time, virtualKey, true, alt);
  AppendKeyChange(actions, time, virtualKey, false, alt);
  if (alt) AppendKeyChange(actions, time, kAlt, false, false);
}

bool ParseScript(std::string_view text, std::vector<ScriptAction>& actions, std::string& error) {
  size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    std::string why;
    if (!ParseLine(line, actions, why)) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    }
  }
  std::stable_sort(actions.begin(), actions.end(),
                   [](const ScriptAction& a, const ScriptAction& b) { return a.time < b.time; });
  return true;
}

}  // namespace kaze::host
