#include "host/input_state.h"

namespace kaze::host {

void InputState::SetKey(uint32_t virtualKey, bool down) {
  if (virtualKey >= kKeys) return;
  if (down && !down_[virtualKey].load(std::memory_order_relaxed)) {
    presses_[virtualKey].fetch_add(1, std::memory_order_release);
  }
  down_[virtualKey].store(down, std::memory_order_release);
}

void InputState::ReleaseAllKeys() {
  for (auto& key : down_) key.store(false, std::memory_order_release);
}

void InputState::SetCursor(int32_t x, int32_t y) {
  cursor_.store((uint64_t(uint32_t(x)) << 32) | uint32_t(y), std::memory_order_release);
}

bool InputState::IsKeyDown(uint32_t virtualKey) {
  if (virtualKey >= kKeys) return false;
  const uint32_t presses = presses_[virtualKey].load(std::memory_order_acquire);
  const bool unseenPress = pressesSeen_[virtualKey].exchange(presses, std::memory_order_acq_rel) != presses;
  return down_[virtualKey].load(std::memory_order_acquire) || unseenPress;
}

void InputState::Cursor(int32_t& x, int32_t& y) const {
  const uint64_t packed = cursor_.load(std::memory_order_acquire);
  x = int32_t(uint32_t(packed >> 32));
  y = int32_t(uint32_t(packed));
}

}  // namespace kaze::host
