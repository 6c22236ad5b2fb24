// The keyboard and mouse as the game thread polls them: kept by the main
// thread as it pumps events, read on any thread without a lock, like
// GetAsyncKeyState and GetCursorPos.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kaze::host {

class InputState {
 public:
  // A press shorter than this (a touchpad's tap lasts a few milliseconds,
  // a browser's synthetic click none) reads down for this long from its
  // start: the story polls once a frame and asks some buttons twice in a
  // row, and would otherwise miss it or see it only once. A press is never
  // remembered longer: the program asks whether a key is down now, and a
  // click made while it was not asking is lost, as on Windows.
  static constexpr uint32_t kTapMs = 40;

  // Main thread, as the events arrive; `nowMs` is the host's tick count.
  void SetKey(uint32_t virtualKey, bool down, uint32_t nowMs);
  void ReleaseAllKeys();
  void SetCursor(int32_t x, int32_t y);

  // Any thread. A key is down while it is held and, once released, until
  // its tap time from the press is over.
  bool IsKeyDown(uint32_t virtualKey, uint32_t nowMs);
  void Cursor(int32_t& x, int32_t& y) const;

 private:
  static constexpr size_t kKeys = 256;
  static constexpr uint32_t kNoTap = 0;
  std::array<std::atomic<bool>, kKeys> down_{};
  std::array<std::atomic<uint32_t>, kKeys> pressedAt_{};  // tick of each key's last press
  std::array<std::atomic<uint32_t>, kKeys> tapUntil_{};   // a released tap reads down until this tick
  std::atomic<uint64_t> cursor_{0};                       // x and y in one word: never torn
};

}  // namespace kaze::host
