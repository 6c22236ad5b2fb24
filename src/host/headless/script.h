// The input script of a headless run: one event a line, by virtual time.
//
//   <ms> mouse <x> <y>              pointer to screen position x, y
//   <ms> down left|right            press a mouse button
//   <ms> up left|right              release it
//   <ms> click left|right <x> <y>   pointer to x, y; press; release 100 ms later
//   <ms> key down|up <KEY>          hold or release a key (SPACE, ESC, F4, ...)
//   <ms> key <KEY>                  press and release a key; ALT+<KEY> with Alt held
//   <ms> focus lost|gained          the application loses or regains activation
//   <ms> close                      the window is asked to close
//   <ms> lose-surfaces              the screen's surfaces lose their memory: the
//                                   flip chain and the surfaces clipped to the window
//
// '#' starts a comment. Keys: SPACE, ESC, ENTER, TAB, ALT, SHIFT, CTRL,
// F1..F12, A..Z, 0..9. A key pressed while the script holds Alt comes as a
// system key, as Windows sends it: "key down ALT" then "key F4" quits as
// "key ALT+F4" does. The file is UTF-8 text (a byte-order mark is
// skipped), a regular file of at most kMaxScriptBytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace kaze::host {

inline constexpr size_t kMaxScriptBytes = size_t{16} << 20;

// One line of a script, as small as its text: a script of a million lines
// takes 24 MB. A click is two actions, its press and its release.
struct ScriptAction {
  enum class Verb : uint8_t { Move, Press, Release, Click, KeyDown, KeyUp, KeyPress, Focus, Close, LoseSurfaces };
  uint64_t time = 0;
  int32_t x = 0, y = 0;  // Move, Click
  Verb verb = Verb::Close;
  uint8_t code = 0;   // Press, Release, Click: VK_LBUTTON or VK_RBUTTON; Key*: the virtual key
  bool flag = false;  // KeyPress: with Alt; Focus: gained
};

// What an action does when its time comes: a change of the held state
// (pointer, buttons, keys) or an event for the window's queue.
struct InputChange {
  enum class Kind : uint8_t { MovePointer, Button, HoldKey, QueueEvent } kind = Kind::QueueEvent;
  int32_t x = 0, y = 0;     // MovePointer
  uint32_t virtualKey = 0;  // Button (VK_LBUTTON, VK_RBUTTON), HoldKey
  bool down = false;        // Button, HoldKey
  Event event{};            // QueueEvent
};

// Parses a whole script; on failure returns false with "line N: reason".
// The actions come out in time order, lines of equal time in their order.
bool ParseScript(std::string_view text, std::vector<ScriptAction>& actions, std::string& error);

// Reads and parses the script file at `path`. Anything but a readable
// regular file of at most kMaxScriptBytes is refused with one line that
// names it; a bad line gives "PATH: line N: reason".
bool ReadScriptFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error);

// "key ESC" at `time`: what --until adds.
void AppendKeyPress(std::vector<ScriptAction>& actions, uint64_t time, uint32_t virtualKey, bool alt);

// Plays actions in time order (lines of equal time in their order) and
// keeps what the script holds down, so that keys pressed while it holds
// Alt come with the system-key flag.
class ScriptPlayer {
 public:
  ScriptPlayer() = default;
  explicit ScriptPlayer(std::vector<ScriptAction> actions);

  // Appends the changes of every action due at or before `time` that has
  // not been played yet.
  void ChangesUpTo(uint64_t time, std::vector<InputChange>& changes);

 private:
  void Play(const ScriptAction& action, std::vector<InputChange>& changes);
  void ChangeKey(uint32_t code, bool down, bool alt, std::vector<InputChange>& changes);

  std::vector<ScriptAction> actions_;
  size_t next_ = 0;
  bool altHeld_ = false;
};

}  // namespace kaze::host
