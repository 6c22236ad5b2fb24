#include "host/headless/turn_scheduler.h"

#include <system_error>

namespace kaze::host {

namespace {
// The calling thread's place in the scheduler that runs it.
thread_local void* tCurrentTurn = nullptr;
}  // namespace

TurnScheduler::TurnScheduler(Advance advance) : advance_(std::move(advance)) {
  turns_.push_back(std::make_unique<Turn>());
  current_ = turns_.back().get();
  current_->state = Turn::State::Running;
  tCurrentTurn = current_;
}

TurnScheduler::~TurnScheduler() {
  if (tCurrentTurn == turns_.front().get()) tCurrentTurn = nullptr;
}

void TurnScheduler::Sleep(uint32_t ms) {
  std::unique_lock lock(mutex_);
  auto* self = static_cast<Turn*>(tCurrentTurn);
  if (self == nullptr || current_ != self) return;  // not one of ours: nothing to wait for
  self->state = Turn::State::Sleeping;
  self->wake = Now() + ms;
  self->order = ++order_;
  PassTurn(lock);
  WaitForTurn(lock, self);
}

bool TurnScheduler::Start(std::function<void()> body) {
  std::unique_lock lock(mutex_);
  turns_.push_back(std::make_unique<Turn>());
  Turn* turn = turns_.back().get();
  turn->wake = Now();
  turn->order = ++order_;
  try {
    threads_.emplace_back([this, turn, body = std::move(body)] {
      tCurrentTurn = turn;
      {
        std::unique_lock inner(mutex_);
        WaitForTurn(inner, turn);
      }
      body();
      std::unique_lock inner(mutex_);
      turn->state = Turn::State::Finished;
      PassTurn(inner);
    });
  } catch (const std::system_error&) {
    turn->state = Turn::State::Finished;
    return false;
  }
  return true;
}

bool TurnScheduler::JoinAll() {
  {
    std::unique_lock lock(mutex_);
    for (size_t i = 1; i < turns_.size(); ++i)
      if (turns_[i]->state != Turn::State::Finished) return false;
  }
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  return true;
}

void TurnScheduler::DetachAll() {
  for (std::thread& thread : threads_) thread.detach();
  threads_.clear();
}

void TurnScheduler::PassTurn(std::unique_lock<std::mutex>&) {
  Turn* next = nullptr;
  for (const auto& turn : turns_) {
    if (turn->state != Turn::State::Sleeping) continue;
    if (next == nullptr || turn->wake < next->wake || (turn->wake == next->wake && turn->order < next->order))
      next = turn.get();
  }
  current_ = next;
  if (next == nullptr) return;  // every thread has ended
  if (next->wake > Now()) {
    advance_(Now(), next->wake);
    now_.store(next->wake, std::memory_order_release);
  }
  next->state = Turn::State::Running;
  // Only the thread that gets the turn is woken; a thread that keeps it
  // (the earliest wake-up is its own) goes on without a switch.
  next->given.notify_one();
}

void TurnScheduler::WaitForTurn(std::unique_lock<std::mutex>& lock, Turn* turn) {
  turn->given.wait(lock, [&] { return current_ == turn; });
}

}  // namespace kaze::host
