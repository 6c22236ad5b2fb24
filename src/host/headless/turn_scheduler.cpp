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
  auto* self = static_cast<Turn*>(tCurrentTurn);
  // Not one of ours (or not this scheduler's holder): nothing to wait for.
  if (self == nullptr || current_ != self) return;
  self->state = Turn::State::Sleeping;
  self->wake = Now() + ms;
  self->order = ++order_;
  if (PassTurn() != self) WaitForTurn(self);
}

bool TurnScheduler::Start(std::function<void()> body) {
  turns_.push_back(std::make_unique<Turn>());
  Turn* turn = turns_.back().get();
  turn->wake = Now();
  turn->order = ++order_;
  try {
    threads_.emplace_back([this, turn, body = std::move(body)] {
      tCurrentTurn = turn;
      WaitForTurn(turn);
      body();
      turn->state = Turn::State::Finished;
      PassTurn();
    });
  } catch (const std::system_error&) {
    turn->state = Turn::State::Finished;
    return false;
  }
  return true;
}

bool TurnScheduler::JoinAll() {
  // The first thread holds the turn here: every other thread sleeps or has
  // ended, and what it wrote reached us with the turn.
  for (size_t i = 1; i < turns_.size(); ++i)
    if (turns_[i]->state != Turn::State::Finished) return false;
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  return true;
}

void TurnScheduler::DetachAll() {
  for (std::thread& thread : threads_) thread.detach();
  threads_.clear();
}

TurnScheduler::Turn* TurnScheduler::PassTurn() {
  Turn* next = nullptr;
  for (const auto& turn : turns_) {
    if (turn->state != Turn::State::Sleeping) continue;
    if (next == nullptr || turn->wake < next->wake || (turn->wake == next->wake && turn->order < next->order))
      next = turn.get();
  }
  current_ = next;
  if (next == nullptr) return nullptr;  // every thread has ended
  if (next->wake > Now()) {
    advance_(Now(), next->wake);
    now_.store(next->wake, std::memory_order_release);
  }
  next->state = Turn::State::Running;
  if (next == tCurrentTurn) return next;  // the holder keeps it: no hand-over
  // All the holder wrote, here and before, is seen by the next thread once
  // it takes the turn. Only that one thread is woken.
  next->given.Give();
  return next;
}

void TurnScheduler::WaitForTurn(Turn* turn) { turn->given.Take(); }

}  // namespace kaze::host
