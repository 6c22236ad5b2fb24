#include "host/program_threads.h"

#include <system_error>

namespace kaze::host {

bool ProgramThreads::Start(std::function<void()> body) {
  std::lock_guard lock(mutex_);
  try {
    threads_.emplace_back(std::move(body));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void ProgramThreads::JoinAll() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    threads.swap(threads_);
  }
  for (auto& thread : threads) {
    if (thread.get_id() == std::this_thread::get_id()) {
      thread.detach();
    } else if (thread.joinable()) {
      thread.join();
    }
  }
}

}  // namespace kaze::host
