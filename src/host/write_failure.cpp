#include "host/write_failure.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/checked_file.h"

namespace kaze::host {

void WriteFailures::Begin(std::function<void()> endRun) {
  // A file that grows past the process's size limit (ulimit -f) then
  // fails its write with EFBIG, which ends the run like a full disk,
  // instead of the signal killing it with its files half written.
  std::signal(SIGXFSZ, SIG_IGN);
  std::lock_guard lock(mutex_);
  any_ = false;
  endRun_ = std::move(endRun);
}

void WriteFailures::End() {
  std::lock_guard lock(mutex_);
  endRun_ = nullptr;
}

void WriteFailures::Report(std::string_view file, std::string_view path, int error) {
  // Held while the host is told, so that End() does not return while a
  // writer's thread still calls into a host that is going away.
  std::lock_guard lock(mutex_);
  if (any_) return;
  any_ = true;
  std::fprintf(stderr, "kaze: cannot write %.*s %.*s: %s\n", static_cast<int>(file.size()), file.data(),
               static_cast<int>(path.size()), path.data(), std::strerror(error));
  if (endRun_) endRun_();
}

bool WriteFailures::Any() const {
  std::lock_guard lock(mutex_);
  return any_;
}

WriteFailures& TheWriteFailures() {
  static WriteFailures failures;
  return failures;
}

void CloseReportingFailure(CheckedFile& file, std::string_view what) {
  if (file.Failed()) {
    file.Close();
  } else if (!file.Close()) {
    TheWriteFailures().Report(what, file.Path(), file.Error());
    file.Remove();
  }
}

}  // namespace kaze::host
