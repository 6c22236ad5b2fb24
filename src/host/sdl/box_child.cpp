#include "host/sdl/box_child.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace kaze::host {

namespace {

std::once_flag gPrepared;
pid_t gProgram = 0;
int gChildIds[2] = {-1, -1};  // the box's child writes its id into [1]
std::atomic<bool> gShowing{false};
thread_local bool tShowing = false;

// In the child, right after the fork; only calls that are safe there.
void OnForkInChild() {
  if (!tShowing) return;
  sigset_t quit;  // the program blocks them for a thread of its own
  sigemptyset(&quit);
  sigaddset(&quit, SIGINT);
  sigaddset(&quit, SIGTERM);
  sigprocmask(SIG_UNBLOCK, &quit, nullptr);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != gProgram) _exit(1);  // the program died before the line above
  const pid_t self = getpid();
  (void)!write(gChildIds[1], &self, sizeof self);
}

void Prepare() {
  gProgram = getpid();
  if (pipe2(gChildIds, O_CLOEXEC | O_NONBLOCK) != 0) gChildIds[0] = gChildIds[1] = -1;
  pthread_atfork(nullptr, nullptr, OnForkInChild);
}

pid_t TakeChildId() {
  pid_t id = 0;
  return read(gChildIds[0], &id, sizeof id) == ssize_t(sizeof id) ? id : 0;
}

}  // namespace

int ShowBoxInChild(const std::function<int()>& show, const std::atomic<bool>& cancelled) {
  std::call_once(gPrepared, Prepare);
  // Showing is raised before cancelled is read, and TakeDownBox is called
  // after cancelled was set: either the box is never shown, or TakeDownBox
  // sees it showing.
  gShowing.store(true);
  int result = -1;
  if (!cancelled.load()) {
    tShowing = true;
    result = show();
    tShowing = false;
  }
  gShowing.store(false);
  while (TakeChildId() != 0) {
  }
  return result;
}

void TakeDownBox() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (gShowing.load() && std::chrono::steady_clock::now() < deadline) {
    if (const pid_t child = TakeChildId(); child > 0) {
      kill(child, SIGKILL);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace kaze::host
