// The sdl host's clock and sleep: GetTickCount's count from the monotonic
// clock, the game thread's sleep to an absolute deadline, the main thread's
// sleep that still presents and shows boxes, and the program's threads.
#include "host/sdl/sdl_clock.h"

#include <time.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "host/sdl/sdl_host_internal.h"

namespace kaze::host {

uint64_t MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint64_t(now.tv_sec) * 1000000u + uint64_t(now.tv_nsec) / 1000u;
}

uint32_t SdlHost::TickCount() { return uint32_t(MonotonicMicros() / 1000u); }

void SdlHost::Sleep(uint32_t ms) {
  if (OnMainThread()) {
    MainThreadSleep(ms);
    return;
  }
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += ms / 1000;
  deadline.tv_nsec += long(ms % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

// The main thread sleeps in its message loop and in the wait for the game
// thread's end. It still shows a box the game thread waits for the moment
// it is asked for; the sleep lasts as asked. (Frames are the present
// thread's.)
void SdlHost::MainThreadSleep(uint32_t ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  DoMainThreadWork();
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::unique_lock lock(wakeMutex_);
  for (;;) {
    const bool woken = wake_.wait_until(lock, deadline, [this] { return boxes_.HasWaiting(); });
    if (!woken && std::chrono::steady_clock::now() >= deadline) return;
    lock.unlock();
    DoMainThreadWork();
    lock.lock();
  }
}

bool SdlHost::StartThread(std::function<void()> body) { return threads_.Start(std::move(body)); }

}  // namespace kaze::host
