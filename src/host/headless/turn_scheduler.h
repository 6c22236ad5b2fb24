// The program's threads on one virtual clock, taking turns: one thread runs
// at a time, the turn passes only when the running thread sleeps (or ends),
// and the clock moves only when every thread sleeps, to the earliest wake-up.
// Equal wake-ups go in the order the threads went to sleep. A run is thus the
// same, step for step, on any machine.
//
// The turn is the lock: only the thread that holds it reads or changes the
// scheduler's state, so passing it is one store and at most one wake-up of
// the one thread that runs next (turn_signal.h), and a thread that gets its
// own turn back does not stop at all.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "host/headless/turn_signal.h"

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
    TurnSignal given;  // raised when the turn is handed to this thread
  };

  // The holder gives up the turn: to the earliest wake-up, moving the clock
  // there. The turn that gets it, or null when every thread has ended.
  Turn* PassTurn();
  static void WaitForTurn(Turn* turn);

  Advance advance_;
  std::vector<std::unique_ptr<Turn>> turns_;
  std::vector<std::thread> threads_;
  Turn* current_ = nullptr;
  uint64_t order_ = 0;
  std::atomic<uint64_t> now_{0};
};

}  // namespace kaze::host
