#include "host/sdl/quit_signals.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kaze::host {

namespace {

sigset_t QuitSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  const sigset_t quit = QuitSet();
  if (pthread_sigmask(SIG_BLOCK, &quit, &earlierMask_) != 0) return;
  signalFd_ = signalfd(-1, &quit, SFD_CLOEXEC);
  stopFd_ = eventfd(0, EFD_CLOEXEC);
  if (signalFd_ < 0 || stopFd_ < 0) {
    if (signalFd_ >= 0) close(signalFd_);
    if (stopFd_ >= 0) close(stopFd_);
    pthread_sigmask(SIG_SETMASK, &earlierMask_, nullptr);
    return;
  }
  installed_ = true;
  watcher_ = std::thread([this] { Watch(); });
}

QuitSignals::~QuitSignals() {
  if (!installed_) return;
  const uint64_t stop = 1;
  (void)!write(stopFd_, &stop, sizeof stop);
  watcher_.join();
  close(signalFd_);
  close(stopFd_);
  pthread_sigmask(SIG_SETMASK, &earlierMask_, nullptr);
}

void QuitSignals::Watch() {
  pollfd watched[2] = {{signalFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  for (;;) {
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    if (watched[0].revents == 0) continue;
    signalfd_siginfo info{};
    (void)!read(signalFd_, &info, sizeof info);
    // From now on this thread takes the signals as they come, with their
    // default effect; the signalfd is no longer read.
    const sigset_t quit = QuitSet();
    pthread_sigmask(SIG_UNBLOCK, &quit, nullptr);
    watched[0].fd = -1;
    onSignal_();
  }
}

}  // namespace kaze::host
