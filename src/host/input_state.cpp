#include "host/input_state.h"

namespace kaze::host {

void InputState::SetKey(uint32_t virtualKey, bool down, uint32_t nowMs) {
  if (virtualKey >= kKeys) return;
  const bool wasDown = down_[virtualKey].load(std::memory_order_relaxed);
  if (down && !wasDown) {
    pressedAt_[virtualKey].store(nowMs, std::memory_order_relaxed);
  } else if (!down && wasDown) {
    const uint32_t until = pressedAt_[virtualKey].load(std::memory_order_relaxed) + kTapMs;
    tapUntil_[virtualKey].store(until != kNoTap ? until : until + 1, std::memory_order_release);
  }
  down_[virtualKey].store(down, std::memory_order_release);
}

void InputState::ReleaseAllKeys() {
  for (size_t key = 0; key < kKeys; ++key) {
    down_[key].store(false, std::memory_order_release);
    tapUntil_[key].store(kNoTap, std::memory_order_release);
  }
}

void InputState::SetCursor(int32_t x, int32_t y) {
  cursor_.store((uint64_t(uint32_t(x)) << 32) | uint32_t(y), std::memory_order_release);
}

bool InputState::IsKeyDown(uint32_t virtualKey, uint32_t nowMs) {
  if (virtualKey >= kKeys) return false;
  // Tick counts wrap: the difference tells which comes first. A tap that
  // is over is forgotten, lest it read down again when the count comes
  // round.
  uint32_t tapUntil = tapUntil_[virtualKey].load(std::memory_order_acquire);
  const bool inTap = tapUntil != kNoTap && int32_t(tapUntil - nowMs) > 0;
  if (tapUntil != kNoTap && !inTap) tapUntil_[virtualKey].compare_exchange_strong(tapUntil, kNoTap);
  return down_[virtualKey].load(std::memory_order_acquire) || inTap;
}

void InputState::Cursor(int32_t& x, int32_t& y) const {
  const uint64_t packed = cursor_.load(std::memory_order_acquire);
  x = int32_t(uint32_t(packed >> 32));
  y = int32_t(uint32_t(packed));
}

}  // namespace kaze::host
