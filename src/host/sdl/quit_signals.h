// SIGINT and SIGTERM (Ctrl+C, a desktop's logout, `kill`) end a run in
// order, as a close does. The main thread may be waiting inside a message
// box when one comes, and a signal handler may do next to nothing, so the
// two signals are blocked in every thread of the program and taken by a
// thread of its own (through a signalfd), which calls `onSignal`; that may
// lock, wait and kill. A second signal has its default effect, for a
// player whose first one did not end the run.
#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace kaze::host {

class QuitSignals {
 public:
  // Main thread, before any other thread of the program is started (they
  // inherit the blocked signals). One QuitSignals at a time.
  explicit QuitSignals(std::function<void()> onSignal);
  // Main thread: the signals are the main thread's again.
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // False when they could not be taken: signals then keep their default
  // effect.
  bool Installed() const { return installed_; }

 private:
  void Watch();

  const std::function<void()> onSignal_;
  bool installed_ = false;
  sigset_t earlierMask_{};
  int signalFd_ = -1;
  int stopFd_ = -1;
  std::thread watcher_;
};

}  // namespace kaze::host
