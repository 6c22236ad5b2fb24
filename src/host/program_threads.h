// The threads a real-time host starts for the program, all joined when the
// program ends.
#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kaze::host {

class ProgramThreads {
 public:
  // Runs body on a new thread; false when none could be started.
  bool Start(std::function<void()> body);

  // Waits for every thread started so far. A thread that asks for this
  // itself is let go instead of waited for.
  void JoinAll();

 private:
  std::mutex mutex_;
  std::vector<std::thread> threads_;
};

}  // namespace kaze::host
