// Whole runs of the program whose files cannot all be written, or that a
// signal ends: one line, the run ended in order with its exit code, and
// every file left behind valid.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/kaze_run.h"
#include "support/limited_child.h"
#include "support/file_bytes.h"

namespace kaze::test {
namespace {

namespace fs = std::filesystem;
constexpr uint64_t kY4mHeader = 43, kY4mFrame = 6 + 640 * 480 * 3 / 2;

// The files of a run in `dir`, each checked if it is there: "" when all
// are valid. `frames` gets the video's frame count.
std::string InvalidFiles(const fs::path& dir, uint64_t* frames = nullptr) {
  std::string faults;
  if (fs::exists(dir / "run.y4m")) {
    const uint64_t size = fs::file_size(dir / "run.y4m");
    if (size < kY4mHeader || (size - kY4mHeader) % kY4mFrame != 0)
      faults += "video size " + std::to_string(size) + "; ";
    if (frames != nullptr) *frames = (size - kY4mHeader) / kY4mFrame;
  }
  if (fs::exists(dir / "run.wav")) {
    const std::string wav = ReadAll(dir / "run.wav");
    if (wav.size() < 44 || Le32(wav, 4) != wav.size() - 8 || Le32(wav, 40) != wav.size() - 44 || wav.size() % 4 != 0)
      faults += "sound header or size " + std::to_string(wav.size()) + "; ";
  }
  if (fs::exists(dir / "run.jsonl")) {
    const std::string trace = ReadAll(dir / "run.jsonl");
    if ((!trace.empty() && trace.back() != '\n') || !Events(ParseTrace(trace), "unparsable").empty())
      faults += "trace not whole lines; ";
  }
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().find(".part") != std::string::npos) faults += "left " + entry.path().string();
  return faults;
}

// A headless run of the demo data set with these of its files in `dir`.
std::vector<std::string> Kaze(const fs::path& dir, const std::vector<std::string>& files, const char* until = "60000") {
  std::vector<std::string> argv = {KAZE_BINARY, "--headless", "--data", KAZE_DEMO_DIR, "--until", until};
  for (const std::string& option : files) {
    if (option == "--record") argv.insert(argv.end(), {option, (dir / "run.y4m").string()});
    if (option == "--audio-out") argv.insert(argv.end(), {option, (dir / "run.wav").string()});
    if (option == "--trace") argv.insert(argv.end(), {option, (dir / "run.jsonl").string()});
    if (option == "--snap") argv.insert(argv.end(), {option, "1000", "--snap-dir", dir.string()});
  }
  return argv;
}

// A 2 MB disk under the video, the sound and the trace; the sound and the
// trace alone on 64 KB; the trace alone on 4 KB; a snapshot on 512 bytes.
TEST(FullDiskRun, EndsInOrderWithOneLineAndExitCode3LeavingEveryFileValid) {
  const struct {
    std::vector<std::string> files;
    uint64_t limit;
    const char* said;
  } cases[] = {
      {{"--record", "--audio-out", "--trace"}, 2 << 20, "the recording"},
      {{"--audio-out", "--trace"}, 64 << 10, "the sound recording"},
      {{"--trace"}, 4 << 10, "the trace"},
      {{"--snap"}, 512, "the snapshot"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    TempDir dir;
    const ChildRun run = RunWithFileLimit(c.limit, ExecProgram(Kaze(dir.path(), c.files)));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.stderrText.rfind("kaze: cannot write " + std::string(c.said) + " " + dir.path().string(), 0), 0u)
        << run.stderrText;
    EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << run.stderrText;
    EXPECT_NE(run.stderrText.find(": File too large\n"), std::string::npos) << run.stderrText;
    EXPECT_EQ(InvalidFiles(dir.path()), "");
    EXPECT_FALSE(fs::exists(dir.path() / "snap-1000.png"));
    if (c.said != std::string("the trace") && fs::exists(dir.path() / "run.jsonl")) {
      // The run ended long before --until, in order, and says how.
      const auto trace = ParseTrace(ReadAll(dir.path() / "run.jsonl"));
      const TraceLine* exit = Last(trace, "exit");
      ASSERT_NE(exit, nullptr);
      EXPECT_EQ(exit->Int("code"), 3);
      EXPECT_LT(exit->t, 30000);
      EXPECT_NE(Last(trace, "window"), nullptr) << "the program's own shutdown ran";
    }
  }
}

// A device named as a file (through a link, so that a removal would only
// take the link): a full one fails the run; a run that cannot start for
// want of a display removes its recordings, but not a device.
TEST(FullDiskRun, ADeviceNamedAsAFileIsLeftInPlace) {
  TempDir dir;
  const fs::path full = dir.path() / "full", null = dir.path() / "null";
  fs::create_symlink("/dev/full", full);
  fs::create_symlink("/dev/null", null);
  ProgramRun run = RunProgram({KAZE_BINARY, "--headless", "--until", "1000", "--audio-out", full.string()});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.stderrText, "kaze: cannot write the sound recording " + full.string() + ": No space left on device\n");
  run = RunProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "SDL_VIDEODRIVER", KAZE_BINARY,
                    "--window", "--record", null.string()});
  EXPECT_EQ(run.exitCode, 2) << run.stderrText;
  EXPECT_TRUE(fs::is_symlink(full));
  EXPECT_TRUE(fs::is_symlink(null));
}

// Waits for `done` up to a deadline that a loaded sanitizer build meets.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// SIGTERM or SIGINT while a scripted run records: the run ends in order
// with exit code 0, the sound as long as the video, the trace's last line
// its exit. (Were the signal lost, the run would go on to its --until, far
// off, and its video would reach the size limit first: exit code 3.)
TEST(SignalledRun, EndsInOrderWithEveryFileComplete) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    std::vector<std::string> argv = Kaze(dir.path(), {"--record", "--audio-out", "--trace"}, "600000");
    argv.insert(argv.end(), {"--script", dir.Write("click.script", "3000 click left 320 240\n").string()});
    const pid_t child = fork();
    if (child == 0) {
      const rlimit limit{1 << 30, 1 << 30};
      setrlimit(RLIMIT_FSIZE, &limit);
      ExecProgram(argv)();
      _exit(127);
    }
    ASSERT_GT(child, 0);
    const fs::path video = dir.path() / "run.y4m";
    const bool recording = WaitFor([&] {
      std::error_code error;
      const uint64_t size = fs::file_size(video, error);
      return !error && size >= kY4mHeader + 3 * kY4mFrame;
    });
    kill(child, signal);
    int status = 0;
    if (!WaitFor([&] { return waitpid(child, &status, WNOHANG) == child; })) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      FAIL() << "the run did not end";
    }
    ASSERT_TRUE(recording);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    uint64_t frames = 0;
    EXPECT_EQ(InvalidFiles(dir.path(), &frames), "");
    EXPECT_EQ(fs::file_size(dir.path() / "run.wav"), 44 + frames * 882 * 4);
    const auto trace = ParseTrace(ReadAll(dir.path() / "run.jsonl"));
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back().ev, "exit");
    EXPECT_EQ(trace.back().Int("code"), 0);
  }
}

}  // namespace
}  // namespace kaze::test
