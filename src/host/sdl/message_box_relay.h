// Message boxes asked for on other threads are shown by the main thread,
// which owns the window; the asking thread waits until its box is closed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace kaze::host {

class MessageBoxRelay {
 public:
  using ShowFn = std::function<void(std::string_view caption, std::string_view text)>;

  // `onQueued` runs on the asking thread after each request is queued, to
  // wake the main thread.
  explicit MessageBoxRelay(std::function<void()> onQueued = {}) : onQueued_(std::move(onQueued)) {}

  // Any thread but the main one: queues the box and waits until the main
  // thread has shown it and it was closed, or until the relay closes.
  void ShowAndWait(std::string caption, std::string text);

  // Main thread: shows every queued box, one after the other.
  void Serve(const ShowFn& show);

  // Main thread, at the end: drops the queued boxes, releases every waiting
  // thread, and makes later requests return at once.
  void Close();

  // Cheap test for the main thread's loops.
  bool HasWaiting() const { return queued_.load(std::memory_order_acquire) != 0; }

 private:
  struct Request {
    uint64_t ticket;
    std::string caption, text;
  };

  const std::function<void()> onQueued_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<Request> requests_;
  uint64_t nextTicket_ = 1;
  uint64_t servedUpTo_ = 0;  // every ticket up to this one is done
  bool closed_ = false;
  std::atomic<uint32_t> queued_{0};
};

}  // namespace kaze::host
