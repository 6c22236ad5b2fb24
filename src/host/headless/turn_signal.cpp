#include "host/headless/turn_signal.h"

#include <algorithm>
#include <thread>

namespace kaze::host {

namespace {
// A turn that comes back within a few yields came back at once; past some
// tens it is a long one, which sleeping waits for more cheaply.
constexpr uint32_t kFewestYields = 4;
constexpr uint32_t kMostYields = 64;
}  // namespace

bool TurnSignal::Watch(uint32_t yields) {
  for (uint32_t round = 0; round < yields; ++round) {
    if (state_.load(std::memory_order_acquire) == kRaised) return true;
    std::this_thread::yield();
  }
  return false;
}

void TurnSignal::Take() {
  // Caught while watching: watch longer next time; missed: half as long.
  const bool caught = Watch(std::max(watchYields_, kFewestYields));
  watchYields_ = caught ? std::min(kMostYields, watchYields_ * 2 + kFewestYields) : watchYields_ / 2;
  uint32_t expected = kLowered;
  if (state_.compare_exchange_strong(expected, kSleeping, std::memory_order_acquire)) {
    do state_.wait(kSleeping, std::memory_order_acquire);
    while (state_.load(std::memory_order_acquire) != kRaised);
  }
  // Raised, and only this thread lowers it: before any later Give.
  state_.store(kLowered, std::memory_order_relaxed);
}

}  // namespace kaze::host
