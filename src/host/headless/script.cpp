#include "host/headless/script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace kaze::host {

namespace {

using Verb = ScriptAction::Verb;

constexpr uint32_t kLeftButton = 0x01, kRightButton = 0x02, kAlt = 0x12;
constexpr uint64_t kClickRelease = 100;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The words of a line, split at white space.
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line) {}

  bool Next(std::string_view& word) {
    constexpr std::string_view kSpace = " \t\n\v\f\r";
    const size_t start = rest_.find_first_not_of(kSpace);
    if (start == std::string_view::npos) return rest_ = {}, false;
    rest_ = rest_.substr(start);
    const size_t end = std::min(rest_.find_first_of(kSpace), rest_.size());
    word = rest_.substr(0, end);
    rest_ = rest_.substr(end);
    return true;
  }

 private:
  std::string_view rest_;
};

bool ParseNumber(std::string_view text, int64_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

bool KeyCode(std::string_view text, uint8_t& code) {
  const std::string name = Upper(text);
  static const struct {
    const char* name;
    uint8_t code;
  } kNamed[] = {{"SPACE", 0x20}, {"ESC", 0x1B}, {"ESCAPE", 0x1B}, {"ENTER", 0x0D}, {"RETURN", 0x0D},
                {"TAB", 0x09},   {"ALT", 0x12}, {"SHIFT", 0x10},  {"CTRL", 0x11},  {"BACKSPACE", 0x08},
                {"LEFT", 0x25},  {"UP", 0x26},  {"RIGHT", 0x27},  {"DOWN", 0x28}};
  for (const auto& key : kNamed)
    if (name == key.name) return code = key.code, true;
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
    return code = static_cast<uint8_t>(name[0]), true;
  int64_t f = 0;
  if (name.size() >= 2 && name[0] == 'F' && ParseNumber(std::string_view(name).substr(1), f) && f >= 1 && f <= 12)
    return code = static_cast<uint8_t>(0x70 + f - 1), true;
  return false;
}

ScriptAction Action(uint64_t time, Verb verb, uint8_t code = 0, bool flag = false) {
  ScriptAction action;
  action.time = time;
  action.verb = verb;
  action.code = code;
  action.flag = flag;
  return action;
}

bool ParseButton(std::string_view word, uint8_t& button) {
  if (word == "left") return button = kLeftButton, true;
  if (word == "right") return button = kRightButton, true;
  return false;
}

bool ParsePoint(Words& words, ScriptAction& action) {
  std::string_view xs, ys;
  int64_t x = 0, y = 0;
  if (!words.Next(xs) || !words.Next(ys) || !ParseNumber(xs, x) || !ParseNumber(ys, y)) return false;
  if (x < -100000 || x > 100000 || y < -100000 || y > 100000) return false;
  action.x = static_cast<int32_t>(x);
  action.y = static_cast<int32_t>(y);
  return true;
}

bool ParseKeyLine(Words& words, uint64_t time, std::vector<ScriptAction>& actions, std::string& why) {
  std::string_view first, second;
  uint8_t code = 0;
  if (!words.Next(first)) return why = "key needs a key name", false;
  if (first == "down" || first == "up") {
    if (!words.Next(second)) return why = "key " + std::string(first) + " needs a key name", false;
    if (!KeyCode(second, code)) return why = "unknown key '" + std::string(second) + "'", false;
    actions.push_back(Action(time, first == "down" ? Verb::KeyDown : Verb::KeyUp, code));
    return true;
  }
  const bool alt = Upper(first.substr(0, 4)) == "ALT+";
  if (!KeyCode(alt ? first.substr(4) : first, code)) return why = "unknown key '" + std::string(first) + "'", false;
  actions.push_back(Action(time, Verb::KeyPress, code, alt));
  return true;
}

bool ParseLine(std::string_view line, std::vector<ScriptAction>& actions, std::string& why) {
  Words words(line);
  std::string_view timeText, verb, word;
  if (!words.Next(timeText)) return true;  // blank
  int64_t time = 0;
  if (!ParseNumber(timeText, time) || time < 0) return why = "a line starts with its time in ms", false;
  if (!words.Next(verb)) return why = "missing event after the time", false;
  const auto t = static_cast<uint64_t>(time);
  ScriptAction action = Action(t, Verb::Close);
  if (verb == "mouse") {
    action.verb = Verb::Move;
    if (!ParsePoint(words, action)) return why = "mouse needs x y", false;
    actions.push_back(action);
  } else if (verb == "down" || verb == "up") {
    action.verb = verb == "down" ? Verb::Press : Verb::Release;
    if (!words.Next(word) || !ParseButton(word, action.code))
      return why = std::string(verb) + " needs left or right", false;
    actions.push_back(action);
  } else if (verb == "click") {
    action.verb = Verb::Click;
    if (!words.Next(word) || !ParseButton(word, action.code)) return why = "click needs left or right", false;
    if (!ParsePoint(words, action)) return why = "click needs x y", false;
    actions.push_back(action);
    actions.push_back(Action(t + kClickRelease, Verb::Release, action.code));
  } else if (verb == "key") {
    if (!ParseKeyLine(words, t, actions, why)) return false;
  } else if (verb == "focus") {
    if (!words.Next(word) || (word != "lost" && word != "gained")) return why = "focus needs lost or gained", false;
    actions.push_back(Action(t, Verb::Focus, 0, word == "gained"));
  } else if (verb == "close") {
    actions.push_back(action);
  } else if (verb == "lose-surfaces") {
    actions.push_back(Action(t, Verb::LoseSurfaces));
  } else {
    return why = "unknown event '" + std::string(verb) + "'", false;
  }
  if (words.Next(word)) return why = "unexpected '" + std::string(word) + "' at the end of the line", false;
  return true;
}

void SortByTime(std::vector<ScriptAction>& actions) {
  std::stable_sort(actions.begin(), actions.end(),
                   [](const ScriptAction& a, const ScriptAction& b) { return a.time < b.time; });
}

std::string TooLarge(const std::string& path) {
  return "the script " + path + " is larger than " + std::to_string(kMaxScriptBytes >> 20) +
         " MB; a script holds one input event a line";
}

// Opens a regular file of at most kMaxScriptBytes for reading; anything
// else (a folder, a device that never ends, a pipe) is refused before a
// byte of it is read. -1 with the reason in `error`.
int OpenScript(const std::string& path, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO would block the open
  if (fd < 0) return error = "cannot read the script " + path + ": " + std::strerror(errno), -1;
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    error = "cannot read the script " + path + ": " + std::strerror(errno);
  else if (S_ISDIR(status.st_mode))
    error = "the script " + path + " is a folder, not a file";
  else if (!S_ISREG(status.st_mode))
    error = "the script " + path + " is not a regular file";
  else if (static_cast<uint64_t>(status.st_size) > kMaxScriptBytes)
    error = TooLarge(path);
  else
    return fd;
  ::close(fd);
  return -1;
}

// The whole file, up to the limit (it may have grown since it was opened).
bool ReadScriptText(const std::string& path, std::string& text, std::string& error) {
  const int fd = OpenScript(path, error);
  if (fd < 0) return false;
  char chunk[1 << 16];
  ssize_t got = 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = "cannot read the script " + path + ": " + std::strerror(errno);
      break;
    }
    if (text.size() + static_cast<size_t>(got) > kMaxScriptBytes) {
      error = TooLarge(path);
      break;
    }
    text.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return got == 0;
}

}  // namespace

void AppendKeyPress(std::vector<ScriptAction>& actions, uint64_t time, uint32_t virtualKey, bool alt) {
  actions.push_back(Action(time, Verb::KeyPress, static_cast<uint8_t>(virtualKey), alt));
}

bool ParseScript(std::string_view text, std::vector<ScriptAction>& actions, std::string& error) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
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
  SortByTime(actions);
  return true;
}

bool ReadScriptFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error) {
  std::string text;
  if (!ReadScriptText(path, text, error)) return false;
  std::string why;
  if (!ParseScript(text, actions, why)) return error = path + ": " + why, false;
  actions.shrink_to_fit();
  return true;
}

ScriptPlayer::ScriptPlayer(std::vector<ScriptAction> actions) : actions_(std::move(actions)) { SortByTime(actions_); }

void ScriptPlayer::ChangesUpTo(uint64_t time, std::vector<InputChange>& changes) {
  while (next_ < actions_.size() && actions_[next_].time <= time) Play(actions_[next_++], changes);
}

// A key changes both the held state and the queue, as a real one does;
// while Alt is held (its own press included) the key is a system key.
void ScriptPlayer::ChangeKey(uint32_t code, bool down, bool alt, std::vector<InputChange>& changes) {
  if (code == kAlt) altHeld_ = down;
  InputChange hold{.kind = InputChange::Kind::HoldKey, .virtualKey = code, .down = down};
  changes.push_back(hold);
  InputChange queue{.kind = InputChange::Kind::QueueEvent};
  queue.event = Event{.kind = Event::Kind::Key, .virtualKey = code, .down = down, .alt = alt || altHeld_};
  changes.push_back(queue);
}

void ScriptPlayer::Play(const ScriptAction& action, std::vector<InputChange>& changes) {
  using Kind = InputChange::Kind;
  const auto queue = [&](Event event) { changes.push_back({.kind = Kind::QueueEvent, .event = event}); };
  switch (action.verb) {
    case Verb::Move:
      changes.push_back({.kind = Kind::MovePointer, .x = action.x, .y = action.y});
      queue({.kind = Event::Kind::MouseMove, .x = action.x, .y = action.y});
      break;
    case Verb::Click:
      changes.push_back({.kind = Kind::MovePointer, .x = action.x, .y = action.y});
      changes.push_back({.kind = Kind::Button, .virtualKey = action.code, .down = true});
      break;
    case Verb::Press:
    case Verb::Release:
      changes.push_back({.kind = Kind::Button, .virtualKey = action.code, .down = action.verb == Verb::Press});
      break;
    case Verb::KeyDown:
    case Verb::KeyUp:
      ChangeKey(action.code, action.verb == Verb::KeyDown, false, changes);
      break;
    case Verb::KeyPress:
      if (action.flag) ChangeKey(kAlt, true, true, changes);
      ChangeKey(action.code, true, action.flag, changes);
      ChangeKey(action.code, false, action.flag, changes);
      if (action.flag) ChangeKey(kAlt, false, false, changes);
      break;
    case Verb::Focus:
      queue({.kind = Event::Kind::Focus, .gained = action.flag});
      break;
    case Verb::Close:
      queue({.kind = Event::Kind::Close});
      break;
    case Verb::LoseSurfaces:
      queue({.kind = Event::Kind::SurfacesLost});
      break;
  }
}

}  // namespace kaze::host
