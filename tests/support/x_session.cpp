#include "support/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "host/sanitizer_build.h"

namespace kaze::testing {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? int(left) : 0;
}

void SilenceStdout() {
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, STDOUT_FILENO);
}

}  // namespace

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string WithOption(const char* variable, const std::string& option) {
  const char* options = std::getenv(variable);
  return std::string(variable) + "=" + (options != nullptr ? std::string(options) + ":" : "") + option;
}

std::vector<std::string> ProgramOnXvfbSanitizerOptions() {
  return {WithOption("ASAN_OPTIONS", "detect_leaks=0"),
          WithOption("TSAN_OPTIONS", "suppressions=" KAZE_SOURCE_DIR "/tests/host/sdl/tsan.supp")};
}

int Patient(int milliseconds) {
#if defined(KAZE_ADDRESS_SANITIZER) || defined(KAZE_THREAD_SANITIZER)
  return milliseconds * 4;
#else
  return milliseconds;
#endif
}

XvfbServer::~XvfbServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool XvfbServer::Start(std::string& reason, const std::string& screen) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) {
    reason = "Xvfb is not installed (Debian package xvfb)";
    return false;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    reason = "no pipe for Xvfb";
    return false;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    SilenceStdout();
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    const std::string fd = std::to_string(fds[1]);
    execl(xvfb.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  pollfd readable{fds[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && poll(&readable, 1, MillisecondsLeft(deadline)) > 0) {
    char buffer[32];
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, size_t(got));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    reason = "Xvfb did not start";
    return false;
  }
  // GCC 12 warns falsely of an overlapping copy in "literal" + string&&
  // (its bug 105651), at -O2 and above.
#ifndef __clang__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  display_ = ":" + number.substr(0, number.find('\n'));
#ifndef __clang__
#pragma GCC diagnostic pop
#endif
  return true;
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (stderrFd_ >= 0) close(stderrFd_);
  std::error_code ignored;
  if (!configHome_.empty()) std::filesystem::remove_all(configHome_, ignored);
}

bool ChildProcess::Start(const std::vector<std::string>& environment, const std::function<void()>& inChild) {
  std::string folder = (std::filesystem::temp_directory_path() / "kaze-config-XXXXXX").string();
  if (configHome_.empty() && mkdtemp(folder.data()) != nullptr) configHome_ = folder;
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::fflush(nullptr);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    close(fds[0]);
    dup2(fds[1], STDERR_FILENO);
    close(fds[1]);
    SilenceStdout();
    setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
    for (const std::string& entry : environment) {
      const size_t equals = entry.find('=');
      if (equals == std::string::npos) {
        unsetenv(entry.c_str());
      } else {
        setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
      }
    }
    inChild();
    _exit(127);
  }
  close(fds[1]);
  stderrFd_ = fds[0];
  return true;
}

bool ChildProcess::Fork(const std::vector<std::string>& environment, const std::function<int()>& body) {
  return Start(environment, [&] { _exit(body()); });
}

bool ChildProcess::Exec(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
  return Start(environment, [&] {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
  });
}

std::string ChildProcess::WaitForLine(const std::string& part, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      output_ += line + "\n";
      if (line.find(part) != std::string::npos) return line;
    }
    pollfd readable{stderrFd_, POLLIN, 0};
    if (stderrFd_ < 0 || poll(&readable, 1, MillisecondsLeft(deadline)) <= 0) return {};
    char buffer[4096];
    const ssize_t got = read(stderrFd_, buffer, sizeof buffer);
    if (got <= 0) return {};
    pending_.append(buffer, size_t(got));
  }
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

int ChildProcess::WaitForExit(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (Clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

namespace {

// The words of an xdotool command line as a shell would split it, for the
// single quotes around a search pattern.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : line) {
    if (c == '\'') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// This process's environment with DISPLAY set to `display`.
std::vector<std::string> EnvironmentWithDisplay(const std::string& display) {
  std::vector<std::string> environment = {"DISPLAY=" + display};
  for (char** entry = environ; *entry != nullptr; ++entry)
    if (std::strncmp(*entry, "DISPLAY=", 8) != 0) environment.emplace_back(*entry);
  return environment;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Whether the child exited with 0, killing it once `deadline` has passed.
bool ExitedWithZero(pid_t pid, Clock::time_point deadline) {
  int status = -1;  // not an exit, should waitpid fail
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// xdotool is started directly, with no shell and no timeout(1) around it:
// three processes a call made a twentieth of a sanitizer suite's time, as
// windows are waited for by asking again and again. One that hangs (an X
// server gone) is killed after 30 s.
std::string RunXdotool(const std::string& display, const std::string& arguments, bool* ok) {
  if (ok != nullptr) *ok = false;
  static const std::string xdotool = FindProgram("xdotool");
  std::vector<std::string> argv = SplitWords("xdotool " + arguments);
  std::vector<std::string> environment = EnvironmentWithDisplay(display);
  int out[2];
  if (xdotool.empty() || pipe2(out, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, xdotool.c_str(), &actions, nullptr, PointersTo(argv).data(), PointersTo(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return {};
  }
  std::string output;
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  pollfd readable{out[0], POLLIN, 0};
  for (char buffer[256]; poll(&readable, 1, MillisecondsLeft(deadline)) > 0;) {
    const ssize_t got = read(out[0], buffer, sizeof buffer);
    if (got <= 0) break;
    output.append(buffer, size_t(got));
  }
  close(out[0]);
  const bool exited = ExitedWithZero(pid, deadline);
  if (ok != nullptr) *ok = exited;
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

std::string FindWindowNamed(const std::string& display, const std::string& title, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    std::stringstream ids(RunXdotool(display, "search --class '.*'"));
    for (std::string id; ids >> id;) {
      if (RunXdotool(display, "getwindowname " + id) == title) return id;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (Clock::now() < deadline);
  return {};
}

bool NoWindowNamed(const std::string& display, const std::string& title, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!FindWindowNamed(display, title, 0).empty()) {
    if (Clock::now() >= deadline) return false;
  }
  return true;
}

std::string WaitForWindow(const std::string& display, const std::string& pattern, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::string found = RunXdotool(display, "search --onlyvisible --name '" + pattern + "'");
    if (!found.empty()) return found.substr(0, found.find('\n'));
    if (Clock::now() >= deadline) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::string WaitForSize(const std::string& display, const std::string& window, const std::string& expected,
                        int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::string geometry = RunXdotool(display, "getwindowgeometry " + window);
    const size_t at = geometry.find("Geometry: ");
    const std::string size = at == std::string::npos ? geometry : geometry.substr(at + 10);
    if (size == expected || Clock::now() >= deadline) return size;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

int SendKeysUntilExit(ChildProcess& child, const std::string& display, const std::string& window,
                      const std::string& keys, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    RunXdotool(display, (window.empty() ? "" : "windowfocus --sync " + window + " ") + "key " + keys);
    const int code = child.WaitForExit(std::min(2000, MillisecondsLeft(deadline)));
    if (code != -1 || Clock::now() >= deadline) return code;
  }
}

std::string SendKeysUntilLine(ChildProcess& child, const std::string& display, const std::string& window,
                              const std::string& keys, const std::string& part, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    RunXdotool(display, (window.empty() ? "" : "windowfocus --sync " + window + " ") + "key " + keys);
    const std::string line = child.WaitForLine(part, std::min(2000, MillisecondsLeft(deadline)));
    if (!line.empty() || Clock::now() >= deadline) return line;
  }
}

}  // namespace kaze::testing
