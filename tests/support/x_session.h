// A private X server (Xvfb) for tests of the real window, and the small
// process tools those tests need: run a child, read its stderr lines with a
// deadline, run xdotool against the server.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace kaze::testing {

// The path of a program found on PATH, or empty.
std::string FindProgram(const std::string& name);

// A deadline for one step of a test, longer in a sanitizer build, whose
// programs run several times slower, more so on a busy machine. Deadlines
// only bound how long a test waits for a state; none is a measurement.
int Patient(int milliseconds);

// An environment entry that adds to a sanitizer's options.
std::string WithOption(const char* variable, const std::string& option);

// The environment entries the program needs under the sanitizers when run
// on Xvfb: no leak report at exit (SDL's and Mesa's), and Mesa's software
// OpenGL, which is not instrumented, kept out of ThreadSanitizer's reports.
std::vector<std::string> ProgramOnXvfbSanitizerOptions();

class XvfbServer {
 public:
  XvfbServer() = default;
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  ~XvfbServer();

  // Starts Xvfb on a display number it picks itself (-displayfd), with one
  // screen of the given size and depth. False with a reason when it cannot
  // run here.
  bool Start(std::string& reason, const std::string& screen = "1920x1080x24");
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A child process whose stderr the test reads line by line. It runs with
// XDG_CONFIG_HOME at an empty folder of its own (unless its environment
// names another), so that the tester's settings and pictures folder are
// neither read nor written.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // kills a child that is still running

  // Runs `body` in a forked child with the given environment changes
  // ("NAME=value" sets, a bare "NAME" removes); its result is the exit code.
  bool Fork(const std::vector<std::string>& environment, const std::function<int()>& body);
  // Runs a program with arguments and environment additions.
  bool Exec(const std::vector<std::string>& argv, const std::vector<std::string>& environment);

  // The next stderr line that contains `part`, waiting at most timeoutMs;
  // empty when none came. Every line read is kept in Output().
  std::string WaitForLine(const std::string& part, int timeoutMs);
  void Signal(int signal);
  // The exit code, or -1 when the child did not end within timeoutMs.
  int WaitForExit(int timeoutMs);
  const std::string& Output() const { return output_; }

 private:
  bool Start(const std::vector<std::string>& environment, const std::function<void()>& inChild);

  pid_t pid_ = -1;
  int stderrFd_ = -1;
  std::string configHome_;
  std::string pending_, output_;
};

// Runs xdotool with DISPLAY set; its standard output, trimmed. `ok` tells
// whether it exited with 0.
std::string RunXdotool(const std::string& display, const std::string& arguments, bool* ok = nullptr);

// The id of a window with exactly this title, waiting at most timeoutMs;
// empty when none appeared. Unlike xdotool's own name search it also finds
// windows whose title is only in UTF-8 (SDL's message boxes).
std::string FindWindowNamed(const std::string& display, const std::string& title, int timeoutMs);

// True once no window has this title, waiting at most timeoutMs.
bool NoWindowNamed(const std::string& display, const std::string& title, int timeoutMs);

// The id of a visible window whose name matches `pattern` (a regular
// expression, as xdotool takes it), waiting at most timeoutMs; empty when
// none came. xdotool's own waiting search gives up when a window it looks
// at is destroyed meanwhile, as SDL's first window is when an OpenGL
// renderer makes it anew, so the search is made again until the deadline.
std::string WaitForWindow(const std::string& display, const std::string& pattern, int timeoutMs);

// The window's size as "WxH", once it is `expected`, waiting at most
// timeoutMs; else the last size seen.
std::string WaitForSize(const std::string& display, const std::string& window, const std::string& expected,
                        int timeoutMs);

// Sends keys (xdotool's words, to the focused `window`, or to whatever has
// the focus when it is empty) again and again until the child ends; its
// exit code, or -1 when it did not end within timeoutMs. A window that was
// just mapped or made full screen may take the keyboard only a moment
// later, and a key sent before that is lost.
int SendKeysUntilExit(ChildProcess& child, const std::string& display, const std::string& window,
                      const std::string& keys, int timeoutMs);

// Sends keys the same way, again every two seconds, until the child writes
// a line holding `part`; that line, or empty when none came within
// timeoutMs. A key the program takes only once its first frame is shown
// (F12) may come too early as well.
std::string SendKeysUntilLine(ChildProcess& child, const std::string& display, const std::string& window,
                              const std::string& keys, const std::string& part, int timeoutMs);

}  // namespace kaze::testing
