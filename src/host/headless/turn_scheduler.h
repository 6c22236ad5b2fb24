// The program's threads on one virtual clock, taking turns: one thread runs
// at a time, the turn passes only when the running thread sleeps (or ends),
// and the clock moves only when every thread sleeps, to the earliest wake-up.
// Equal wake-ups go in the order the threads went to sleep. A run is thus the
// same, step for step, on any machine.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kaze::host {

class TurnScheduler {
 public:
  // `advance(from, to)` runs whenever the clock is about to move from `from`
  // to `to` (virtual ms since the start), with every thread asleep. It must
  // not call back into the scheduler other than Now().
  using Advance = std::function<void(uint64_t from, uint64_t to)>;

  // The constructing thread is the first thread and holds the turn.
  explicit TurnScheduler(Advance advance);
  ~TurnScheduler();
  TurnScheduler(const TurnScheduler&) = delete;
  TurnScheduler& operator=(const TurnScheduler&) = delete;

  uint64_t Now() const { return now_.load(std::memory_order_acquire); }

  // The calling thread sleeps `ms` virtual milliseconds and passes the turn.
  void Sleep(uint32_t ms);

  // Starts `body` on a new thread that waits for its turn; it first runs
  // when the starting thread sleeps. False when no thread could be made.
  bool Start(std::function<void()> body);

  // After the first thread is done: waits for the other threads to end.
  // False (and they are left alone) when some thread still sleeps.
  bool JoinAll();
  // For threads that never end: lets them be, for the process's end to take.
  void DetachAll();

 private:
  struct Turn {
    enum class State : uint8_t { Running, Sleeping, Finished } state = State::Sleeping;
    uint64_t wake = 0;
    uint64_t order = 0;
    std::condition_variable given;  // signalled when the turn passes to this thread
  };

  void PassTurn(std::unique_lock<std::mutex>& lock);
  void WaitForTurn(std::unique_lock<std::mutex>& lock, Turn* turn);

  Advance advance_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Turn>> turns_;
  std::vector<std::thread> threads_;
  Turn* current_ = nullptr;
  uint64_t order_ = 0;
  std::atomic<uint64_t> now_{0};
};

}  // namespace kaze::host
