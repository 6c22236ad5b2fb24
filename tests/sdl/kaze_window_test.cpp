// The whole program with the sdl host in a private X server: the window it
// opens and the ways a player ends it.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include "support/scene_data.h"
#include "x_session.h"

namespace kaze::testing {
namespace {

// An environment entry that adds to a sanitizer's options.
std::string WithOption(const char* variable, const std::string& option) {
  const char* options = std::getenv(variable);
  return std::string(variable) + "=" + (options != nullptr ? std::string(options) + ":" : "") + option;
}

class KazeWindow : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef KAZE_HAVE_SDL
    GTEST_SKIP() << "this build has no sdl host (KAZE_SDL=OFF)";
#endif
    if (FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    std::string reason;
    if (!server_.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
    data_ = std::filesystem::temp_directory_path() / ("kaze-window-" + std::to_string(getpid()));
    std::filesystem::create_directories(data_);
    kaze::test::SceneData(data_).ScenePictures();  // a missing picture's box would hold the window
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(data_, ignored);
  }

  // kaze --window --scale 2, silent, until its window is there; the window id.
  std::string StartKaze(ChildProcess& kaze) {
    // Under LeakSanitizer: SDL 2.26 leaves libdbus's few allocations of its
    // (failed) session bus connection behind, which are not ours to free.
    // Under ThreadSanitizer: Mesa's software OpenGL is not instrumented.
    const bool started = kaze.Exec(
        {KAZE_BINARY, "--window", "--scale", "2", "--data", data_.string()},
        {"DISPLAY=" + server_.Display(), "SDL_AUDIODRIVER=dummy", WithOption("ASAN_OPTIONS", "detect_leaks=0"),
         WithOption("TSAN_OPTIONS", "suppressions=" KAZE_SOURCE_DIR "/tests/sdl/tsan.supp")});
    if (!started) return {};
    return RunXdotool(server_.Display(), "search --sync --onlyvisible --name '^kaze$'");
  }

  XvfbServer server_;
  std::filesystem::path data_;
};

TEST_F(KazeWindow, OpensAWindowCalledKazeAndEscapeEndsItWithExitCode0) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  EXPECT_EQ(RunXdotool(server_.Display(), "getwindowname " + window), "kaze");
  const std::string geometry = RunXdotool(server_.Display(), "getwindowgeometry " + window);
  EXPECT_NE(geometry.find("Geometry: 1280x960"), std::string::npos) << geometry;

  bool sent = false;
  RunXdotool(server_.Display(), "windowfocus --sync " + window + " key Escape", &sent);
  ASSERT_TRUE(sent);
  EXPECT_EQ(kaze.WaitForExit(10000), 0);
}

// Taps of Shift and Ctrl long before must not change what Alt+F4 means: the
// accelerator table sees the keys as they were at the message.
TEST_F(KazeWindow, AltF4EndsItAfterModifierTapsButOtherAltKeysAndF10DoNothing) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty());
  RunXdotool(server_.Display(), "windowfocus --sync " + window + " key shift ctrl alt+space F10 alt alt+x");
  EXPECT_EQ(kaze.WaitForExit(500), -1) << "a system key other than Alt+F4 ended the program";
  RunXdotool(server_.Display(), "key alt+F4");
  EXPECT_EQ(kaze.WaitForExit(5000), 0) << "the first Alt+F4 did not end the program";
}

TEST_F(KazeWindow, TerminationSignalEndsItInOrder) {
  ChildProcess kaze;
  ASSERT_FALSE(StartKaze(kaze).empty());
  kaze.Signal(SIGTERM);
  EXPECT_EQ(kaze.WaitForExit(5000), 0);
}

TEST(KazeWithoutDisplay, SaysSoInOneLineThatSuggestsHeadlessAndExitsWith2) {
  ChildProcess kaze;
  ASSERT_TRUE(kaze.Exec({KAZE_BINARY, "--window"}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}));
  const std::string line = kaze.WaitForLine("", 10000);
  EXPECT_EQ(kaze.WaitForExit(10000), 2);
  EXPECT_NE(line.find("no display"), std::string::npos) << line;
  EXPECT_NE(line.find("--headless"), std::string::npos) << line;
  EXPECT_EQ(kaze.WaitForLine("", 100), "") << "more than one line";
}

}  // namespace
}  // namespace kaze::testing
