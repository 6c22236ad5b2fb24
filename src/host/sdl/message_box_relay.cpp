#include "host/sdl/message_box_relay.h"

namespace kaze::host {

void MessageBoxRelay::ShowAndWait(std::string caption, std::string text) {
  std::unique_lock lock(mutex_);
  if (closed_) return;
  const uint64_t ticket = nextTicket_++;
  requests_.push_back({ticket, std::move(caption), std::move(text)});
  queued_.store(uint32_t(requests_.size()), std::memory_order_release);
  if (onQueued_) {
    lock.unlock();
    onQueued_();
    lock.lock();
  }
  done_.wait(lock, [&] { return closed_ || servedUpTo_ >= ticket; });
}

void MessageBoxRelay::Serve(const ShowFn& show) {
  std::unique_lock lock(mutex_);
  while (!requests_.empty() && !closed_) {
    Request request = std::move(requests_.front());
    requests_.pop_front();
    queued_.store(uint32_t(requests_.size()), std::memory_order_release);
    lock.unlock();
    show(request.caption, request.text);  // blocks until the player closes it
    lock.lock();
    servedUpTo_ = request.ticket;
    done_.notify_all();
  }
}

void MessageBoxRelay::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  requests_.clear();
  queued_.store(0, std::memory_order_release);
  done_.notify_all();
}

}  // namespace kaze::host
