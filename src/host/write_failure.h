// The files a run writes (the recording, the sound recording, the trace,
// the snapshots) and what happens when one cannot be written: the first
// failure of the run is said on stderr in one line that names the file and
// the reason,
//
//   kaze: cannot write the recording /x/run.y4m: No space left on device
//
// the host then ends the run in order (the program's own shutdown runs and
// the other files are finished), and the process exits with
// kWriteFailedExit. Later failures, of that file or another, are quiet:
// each writer stops writing a file once it failed and leaves it valid (cut
// back to its last whole frame or line, its header mended) or removed.
#pragma once

#include <functional>
#include <mutex>
#include <string_view>

namespace kaze::host {

constexpr int kWriteFailedExit = 3;

class WriteFailures {
 public:
  // A run begins: no failure yet. `endRun` asks the program to end in
  // order; it is called once, on the thread whose write failed.
  void Begin(std::function<void()> endRun);
  // The run has ended: no more calls of `endRun`.
  void End();
  // `file` says what it is ("the trace"), `error` is errno's value.
  void Report(std::string_view file, std::string_view path, int error);
  bool Any() const;

 private:
  mutable std::mutex mutex_;
  bool any_ = false;
  std::function<void()> endRun_;
};

// The process's record, which the hosts begin and the command line reads
// for the exit code.
WriteFailures& TheWriteFailures();

class CheckedFile;

// The end of a file that has not failed: closed, or, when the close itself
// fails (which cannot tell what was lost), reported as `what` and removed.
// A file that failed before is only closed, as its writer left it.
void CloseReportingFailure(CheckedFile& file, std::string_view what);

}  // namespace kaze::host
