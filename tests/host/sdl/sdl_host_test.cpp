// The real sdl host in a real (virtual) X server: real clicks sent with
// xdotool, message boxes and full screen. The window's name and size and a
// display that is missing are checked with the whole program (kaze_window_test).
#ifdef KAZE_HAVE_SDL
#include <gtest/gtest.h>

#include <cstdio>

#include "support/host_harness.h"
#include "support/x_session.h"

namespace kaze::testing {
namespace {

class SdlHostOnXvfb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    std::string reason;
    if (!server_.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
  }

  // The window called exactly "kaze", waited for; its id or empty.
  std::string FindKazeWindow() { return WaitForWindow(server_.Display(), "^kaze$", Patient(20000)); }

  std::vector<std::string> ChildEnvironment() const {
    return {"DISPLAY=" + server_.Display(), "KAZE_SDL_INPUT_LOG=1", "SDL_AUDIODRIVER=dummy"};
  }

  XvfbServer server_;
};

TEST_F(SdlHostOnXvfb, ClickReachesTheGameThreadInScreenCoordinatesAndEscapeEndsTheRun) {
  ChildProcess program;
  ASSERT_TRUE(program.Fork(ChildEnvironment(), [] {
    return RunHostHarness({.window = true, .scale = 2, .recordPath = {}, .audioOutPath = {}});
  }));
  const std::string window = FindKazeWindow();
  ASSERT_FALSE(window.empty()) << program.Output();

  // Window pixel (641, 479) at 2x is screen pixel (320, 239). The buttons
  // are held until the game thread has seen them, as a player's are: a
  // loaded machine may keep it from polling during a quick click.
  bool ok = false;
  RunXdotool(server_.Display(), "mousemove --window " + window + " 641 479 mousedown 1", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(program.WaitForLine("left down", Patient(10000)), "kaze-input: left down 320 239") << program.Output();
  RunXdotool(server_.Display(), "mouseup 1");
  EXPECT_EQ(program.WaitForLine("left up", Patient(10000)), "kaze-input: left up 320 239") << program.Output();

  RunXdotool(server_.Display(), "mousemove --window " + window + " 1279 3 mousedown 3");
  EXPECT_EQ(program.WaitForLine("right down", Patient(10000)), "kaze-input: right down 639 1") << program.Output();
  RunXdotool(server_.Display(), "mouseup 3");

  EXPECT_EQ(SendKeysUntilExit(program, server_.Display(), window, "Escape", Patient(20000)), 0) << program.Output();
}

// The program asks whether a button is down now: a click it was not asking
// about is gone, but a tap too short for one poll still reads down to the
// two queries in a row of the next frame.
TEST_F(SdlHostOnXvfb, AClickLongBeforeTheQueryIsGoneATapBetweenTwoPollsIsSeen) {
  ChildProcess program;
  ASSERT_TRUE(program.Fork(ChildEnvironment(), [] {
    return RunHostHarness({.window = true, .scale = 1, .recordPath = {}, .audioOutPath = {}}, {.lateQuery = true});
  }));
  const std::string window = FindKazeWindow();
  ASSERT_FALSE(window.empty()) << program.Output();
  RunXdotool(server_.Display(), "mousemove --window " + window + " 100 100 click 1");
  EXPECT_EQ(program.WaitForLine("late query", Patient(20000)), "harness: late query: up") << program.Output();
  EXPECT_EQ(program.WaitForLine("harness: left pressed", 500), "") << program.Output();

  // Press and release arrive together, between two frames; a loaded machine
  // may hold the game thread past the tap's time, so a few tries are allowed.
  bool seen = false;
  for (int attempt = 0; attempt < 5 && !seen; ++attempt) {
    RunXdotool(server_.Display(), "mousedown 1 mouseup 1");
    seen = !program.WaitForLine("harness: left pressed", Patient(5000)).empty();
  }
  EXPECT_TRUE(seen) << program.Output();
  EXPECT_EQ(SendKeysUntilExit(program, server_.Display(), window, "Escape", Patient(20000)), 0) << program.Output();
}

TEST_F(SdlHostOnXvfb, GameThreadsMessageBoxShowsOverTheWindowAndHoldsTheThreadUntilClosed) {
  ChildProcess program;
  ASSERT_TRUE(program.Fork(ChildEnvironment(), [] {
    return RunHostHarness({.window = true, .scale = 1, .recordPath = {}, .audioOutPath = {}},
                          {.boxFromGameThread = true});
  }));
  ASSERT_FALSE(FindKazeWindow().empty()) << program.Output();
  EXPECT_EQ(program.WaitForLine("ERROR", Patient(10000)), "ERROR: a box from the game thread");  // also on stderr
  if (!program.WaitForLine("cannot be shown", 1500).empty()) {
    GTEST_SKIP() << "SDL cannot show message boxes on this X server (no core fonts: Debian package xfonts-base)";
  }
  const std::string box = FindWindowNamed(server_.Display(), "ERROR", 10000);
  ASSERT_FALSE(box.empty());
  EXPECT_EQ(program.WaitForLine("box closed", 300), "") << "the game thread went on while its box was open";

  RunXdotool(server_.Display(), "windowfocus --sync " + box + " key Return");
  EXPECT_EQ(program.WaitForLine("box closed", Patient(10000)), "harness: box closed") << program.Output();
  EXPECT_EQ(SendKeysUntilExit(program, server_.Display(), FindKazeWindow(), "Escape", Patient(20000)), 0)
      << program.Output();
}

TEST_F(SdlHostOnXvfb, FullScreenCoversTheDesktopAndClicksOnTheBarsLieOutsideTheScreen) {
  ChildProcess program;
  ASSERT_TRUE(program.Fork(ChildEnvironment(), [] {
    return RunHostHarness({.window = false, .scale = 0, .recordPath = {}, .audioOutPath = {}});
  }));
  const std::string window = FindKazeWindow();
  ASSERT_FALSE(window.empty()) << program.Output();
  EXPECT_EQ(WaitForSize(server_.Display(), window, "1920x1080", Patient(10000)), "1920x1080");

  // Without a window manager the full-screen window takes the pointer and
  // the keyboard a moment after it is mapped: until a click arrives, input
  // may go elsewhere. A probing click that arrives late is told apart from
  // the clicks below by its place. The places are read from the main
  // thread's lines, which do not depend on when the game thread polls.
  bool ready = false;
  for (int attempt = 0; attempt < 10 && !ready; ++attempt) {
    RunXdotool(server_.Display(), "mousemove 960 540 click 1");
    ready = !program.WaitForLine("mouse up left", 2000).empty();
  }
  ASSERT_TRUE(ready) << program.Output();

  // The 1920x1080 desktop shows the picture at 1440x1080 from x = 240.
  RunXdotool(server_.Display(), "mousemove 100 540 click 1");
  EXPECT_EQ(program.WaitForLine("mouse up left -63 240", Patient(20000)), "kaze-input: mouse up left -63 240")
      << program.Output();
  RunXdotool(server_.Display(), "mousemove 1679 1079 click 1");
  EXPECT_EQ(program.WaitForLine("mouse up left 639 479", Patient(20000)), "kaze-input: mouse up left 639 479")
      << program.Output();

  EXPECT_EQ(SendKeysUntilExit(program, server_.Display(), window, "Escape", Patient(20000)), 0) << program.Output();
}

}  // namespace
}  // namespace kaze::testing

#endif  // KAZE_HAVE_SDL
