// Test and measurement aids of the sdl host, off unless their variable is set:
//   KAZE_SDL_INPUT_LOG=1      each change of a mouse button that the game
//                             thread sees, with the cursor position it sees,
//                             as a line on stderr; and each key message
//                             and mouse button message passed to the
//                             program, with its virtual key or position
//   KAZE_SDL_PRESENT_LOG=FILE for every presented frame, one line: when the
//                             present thread took it and when its
//                             presentation returned, in microseconds
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

#include "host/input_state.h"

namespace kaze::host {

class DiagnosticLogs {
 public:
  DiagnosticLogs();
  ~DiagnosticLogs();
  DiagnosticLogs(const DiagnosticLogs&) = delete;
  DiagnosticLogs& operator=(const DiagnosticLogs&) = delete;

  bool Input() const { return input_; }

  // Main thread: a key or mouse button message passed to the program.
  void KeyMessage(uint32_t virtualKey, bool down) const;
  void MouseMessage(bool down, int button, int32_t x, int32_t y) const;
  // Game thread: the left (0x01) or right (0x02) button as it reads it,
  // logged when it changed since the last read, with the cursor then.
  void ButtonSeen(uint32_t virtualKey, bool down, const InputState& input);

  // Present thread, around one presentation: the moment it began (0 when
  // presentations are not logged), then the line once it returned.
  uint64_t PresentBegins() const;
  void PresentEnded(uint64_t began) const;

 private:
  bool input_ = false;
  std::FILE* presents_ = nullptr;
  std::array<bool, 3> buttonsSeen_{};  // game thread: last state logged
};

}  // namespace kaze::host
