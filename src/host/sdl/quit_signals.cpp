#include "host/sdl/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace kaze::host {

namespace {

constexpr char kSignalled = 'q', kEnding = 'x';
constexpr int kSignals[] = {SIGINT, SIGTERM};

int gPipe[2] = {-1, -1};
struct sigaction gEarlier[2];

void OnSignal(int) {
  const int savedErrno = errno;
  (void)!write(gPipe[1], &kSignalled, 1);
  errno = savedErrno;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (pipe2(gPipe, O_CLOEXEC) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART | SA_RESETHAND;  // a second signal ends the process at once
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < 2; ++i) sigaction(kSignals[i], &action, &gEarlier[i]);
  installed_ = true;
  watcher_ = std::thread([this] { Watch(); });
}

QuitSignals::~QuitSignals() {
  if (!installed_) return;
  for (size_t i = 0; i < 2; ++i) sigaction(kSignals[i], &gEarlier[i], nullptr);
  (void)!write(gPipe[1], &kEnding, 1);
  watcher_.join();
  close(gPipe[0]);
  close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

void QuitSignals::Watch() {
  for (;;) {
    char byte = 0;
    const ssize_t got = read(gPipe[0], &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1 || byte == kEnding) return;
    onSignal_();
  }
}

}  // namespace kaze::host
