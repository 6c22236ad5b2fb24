// How the turn reaches the thread that runs next: a binary semaphore that
// one thread raises and one thread waits on. The kernel is asked to sleep
// and wake only when it must be: the waiter first yields its processor a
// few times, watching, and goes to sleep only after that; the raiser wakes
// it only when it sleeps.
//
// Yielding, not spinning: the kernel puts a thread it wakes on the waker's
// processor, so the thread the turn went to often runs only once its waker
// lets go of that processor; a yield lets it, and most turns (a message
// loop finding nothing) come back within that yield. How many yields is
// learnt from the waits before: a thread whose turn usually comes back at
// once keeps watching; one that usually waits long (the main thread while a
// frame is drawn) soon goes straight to sleep.
#pragma once

#include <atomic>
#include <cstdint>

namespace kaze::host {

class TurnSignal {
 public:
  // Raises the signal, waking the waiter if it sleeps. Everything the
  // calling thread wrote before is seen by the waiter after Take.
  void Give() {
    if (state_.exchange(kRaised, std::memory_order_release) == kSleeping) state_.notify_one();
  }

  // Waits until the signal is raised, and lowers it. One thread at a time.
  void Take();

 private:
  static constexpr uint32_t kLowered = 0, kRaised = 1, kSleeping = 2;
  bool Watch(uint32_t yields);

  std::atomic<uint32_t> state_{kLowered};
  uint32_t watchYields_ = 0;  // the waiter's own: how long it watches next time
};

}  // namespace kaze::host
