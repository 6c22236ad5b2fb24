#include "file_writes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace demo {

namespace {

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

bool Failed(const std::filesystem::path& path, int reason, std::string& error) {
  error = "cannot write " + path.string() + ": " + std::strerror(reason);
  return false;
}

}  // namespace

bool WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, std::string& error) {
  const std::string partial = path.string() + kPartialSuffix;
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Failed(path, errno, error);
  errno = EIO;  // a write that stores nothing and says nothing
  bool written = WriteAll(fd, bytes);
  int reason = errno;
  if (::close(fd) != 0 && written) written = false, reason = errno;
  if (written && ::rename(partial.c_str(), path.c_str()) == 0) return true;
  if (written) reason = errno;
  ::unlink(partial.c_str());
  return Failed(path, reason, error);
}

HeldSignals::HeldSignals() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
  sigprocmask(SIG_BLOCK, &held, &previous_);
}

HeldSignals::~HeldSignals() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace demo
