#include "support/limited_child.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace kaze::test {

ChildRun RunWithFileLimit(uint64_t limitBytes, const std::function<int()>& body) {
  // stderr through a pipe, which no file size limit applies to.
  int fds[2];
  ChildRun run;
  if (pipe(fds) != 0) return run;
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    dup2(fds[1], 2);
    const rlimit limit{limitBytes, limitBytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(body());
  }
  close(fds[1]);
  char buffer[4096];
  for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0)
      run.stderrText.append(buffer, static_cast<size_t>(got));
    else if (errno != EINTR)
      break;
  }
  close(fds[0]);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

std::function<int()> ExecProgram(const std::vector<std::string>& argv) {
  return [argv] {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    return 127;
  };
}

}  // namespace kaze::test
