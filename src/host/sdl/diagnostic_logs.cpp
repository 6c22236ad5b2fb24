#include "host/sdl/diagnostic_logs.h"

#include <cstdlib>

#include "host/sdl/sdl_clock.h"

namespace kaze::host {

DiagnosticLogs::DiagnosticLogs() {
  const char* input = std::getenv("KAZE_SDL_INPUT_LOG");
  input_ = input != nullptr && *input != '\0' && *input != '0';
  if (const char* path = std::getenv("KAZE_SDL_PRESENT_LOG"); path != nullptr && *path != '\0') {
    presents_ = std::fopen(path, "w");
  }
}

DiagnosticLogs::~DiagnosticLogs() {
  if (presents_ != nullptr) std::fclose(presents_);
}

void DiagnosticLogs::KeyMessage(uint32_t virtualKey, bool down) const {
  if (input_) std::fprintf(stderr, "kaze-input: key %s 0x%02X\n", down ? "down" : "up", unsigned(virtualKey));
}

void DiagnosticLogs::MouseMessage(bool down, int button, int32_t x, int32_t y) const {
  if (input_) {
    std::fprintf(stderr, "kaze-input: mouse %s %s %d %d\n", down ? "down" : "up", button == 0 ? "left" : "right", x, y);
  }
}

void DiagnosticLogs::ButtonSeen(uint32_t virtualKey, bool down, const InputState& input) {
  if (!input_ || buttonsSeen_[virtualKey] == down) return;
  buttonsSeen_[virtualKey] = down;
  int32_t x = 0, y = 0;
  input.Cursor(x, y);
  const bool left = virtualKey == 0x01;  // VK_LBUTTON
  std::fprintf(stderr, "kaze-input: %s %s %d %d\n", left ? "left" : "right", down ? "down" : "up", x, y);
}

uint64_t DiagnosticLogs::PresentBegins() const { return presents_ != nullptr ? MonotonicMicros() : 0; }

void DiagnosticLogs::PresentEnded(uint64_t began) const {
  if (presents_ != nullptr) {
    std::fprintf(presents_, "%llu %llu\n", static_cast<unsigned long long>(began),
                 static_cast<unsigned long long>(MonotonicMicros()));
  }
}

}  // namespace kaze::host
