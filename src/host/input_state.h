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
  // Main thread, as the events arrive.
  void SetKey(uint32_t virtualKey, bool down);
  void ReleaseAllKeys();
  void SetCursor(int32_t x, int32_t y);

  // Any thread. A key is down while it is held; a press that came and went
  // since the previous query of that key (a touchpad tap lasts a few
  // milliseconds, the game polls once a frame) is reported down once.
  bool IsKeyDown(uint32_t virtualKey);
  void Cursor(int32_t& x, int32_t& y) const;

 private:
  static constexpr size_t kKeys = 256;
  std::array<std::atomic<bool>, kKeys> down_{};
  std::array<std::atomic<uint32_t>, kKeys> presses_{};      // counted by the main thread
  std::array<std::atomic<uint32_t>, kKeys> pressesSeen_{};  // as of each key's last query
  std::atomic<uint64_t> cursor_{0};                         // x and y in one word: never torn
};

}  // namespace kaze::host
