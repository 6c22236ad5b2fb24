// SIGINT and SIGTERM (Ctrl+C, a desktop's logout, `kill`) end a run in
// order, as a close does. A signal handler may do next to nothing, and the
// main thread may be waiting inside a message box when one comes, so the
// handler only writes a byte to a pipe; a thread of its own reads it and
// calls `onSignal`, which may lock, wait and kill. A second signal has its
// default effect, for a player whose first one did not end the run.
#pragma once

#include <functional>
#include <thread>

namespace kaze::host {

class QuitSignals {
 public:
  // Installs the handlers (one QuitSignals at a time); the earlier ones
  // come back when it is destroyed.
  explicit QuitSignals(std::function<void()> onSignal);
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // False when the pipe or the handlers could not be set up: signals then
  // keep their default action.
  bool Installed() const { return installed_; }

 private:
  void Watch();

  const std::function<void()> onSignal_;
  bool installed_ = false;
  std::thread watcher_;
};

}  // namespace kaze::host
