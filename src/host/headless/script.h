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
// F1..F12, A..Z, 0..9.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace kaze::host {

// One change at one virtual time: either the held state (pointer, buttons,
// keys) or an event for the window's queue, or both.
struct ScriptAction {
  uint64_t time = 0;
  enum class Kind : uint8_t { MovePointer, Button, HoldKey, QueueEvent } kind = Kind::QueueEvent;
  int32_t x = 0, y = 0;     // MovePointer
  uint32_t virtualKey = 0;  // Button (VK_LBUTTON, VK_RBUTTON), HoldKey
  bool down = false;        // Button, HoldKey
  Event event;              // QueueEvent
};

// Parses a whole script; on failure returns false with "line N: reason".
// The actions come out in time order, lines of equal time in their order.
bool ParseScript(std::string_view text, std::vector<ScriptAction>& actions, std::string& error);

// The actions of "key ESC" at `time`: what --until adds.
void AppendKeyPress(std::vector<ScriptAction>& actions, uint64_t time, uint32_t virtualKey, bool alt);

}  // namespace kaze::host
