// Code run in a forked child whose files cannot grow past a given size: a
// write past it fails with EFBIG, as a write onto a full disk fails with
// ENOSPC, so that tests see what a writer does when the disk fills without
// mounting one. A child that does not ignore SIGXFSZ is killed by it, as
// the kernel sends it with the failure.
//
//   ChildRun run = RunWithFileLimit(1000, [&] { ...write...; return 0; });
//   run.exitCode, run.stderrText
//   RunWithFileLimit(1 << 20, ExecProgram({KAZE_BINARY, "--headless", ...}));
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kaze::test {

struct ChildRun {
  int exitCode = -1;  // -1: ended by a signal
  std::string stderrText;
};

ChildRun RunWithFileLimit(uint64_t limitBytes, const std::function<int()>& body);

// A body that runs the program (argv[0] is its path).
std::function<int()> ExecProgram(const std::vector<std::string>& argv);

}  // namespace kaze::test
