// The whole program on the headless host: start, pacing, the ways to quit,
// determinism and the teardown, read from the trace.
#include <gtest/gtest.h>

#include "support/kaze_run.h"
#include "support/scene_data.h"
#include "support/teardown.h"

namespace kaze::test {
namespace {

int64_t ExitTime(const KazeRun& run) {
  const TraceLine* exit = Last(run.trace, "exit");
  return exit != nullptr ? exit->t : -1;
}

// The runs have no data folder: the scenes report their missing pictures.
std::vector<TraceLine> BoxesOtherThanMissingPictures(const KazeRun& run) {
  std::vector<TraceLine> boxes;
  for (const TraceLine& box : Events(run.trace, "msgbox"))
    if (box.Str("text").find(".v") == std::string::npos) boxes.push_back(box);
  return boxes;
}

int64_t Flips(const KazeRun& run) {
  const TraceLine* exit = Last(run.trace, "exit");
  return exit != nullptr ? exit->Int("flips") : -1;
}

TEST(ProgramRun, RunsAtFiftyFramesPerSecondAndEndsCleanly) {
  KazeRun run = RunKaze({"--until", "2000"});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  const TraceLine* exit = Last(run.trace, "exit");
  ASSERT_NE(exit, nullptr) << run.traceText;
  EXPECT_EQ(exit->Int("code"), 0);
  // One flip at set-up, then one every 20 ms until ESC and the quit.
  EXPECT_GE(exit->Int("flips"), 98);
  EXPECT_LE(exit->Int("flips"), 104);
  // The screen is black and stays black: one frame line only.
  auto frames = Events(run.trace, "frame");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Int("flip"), 1);
  EXPECT_TRUE(run.stderrText.empty()) << run.stderrText;
}

TEST(ProgramRun, StartsAtATickCountFarFromZeroSoTheFirstFrameDoesNotWait) {
  // At tick 0 the first PaceFrame would wait out a whole frame since
  // "tick 0"; a real machine has been up for a while. Trace times count
  // from the start of the run either way.
  TempDir dir;
  SceneData(dir.path()).Picture("opening\\op0010.v", 16, 16, 0xFFFFFF);
  auto firstPicture = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--data", dir.path().string(), "--until", "300"};
    args.insert(args.end(), extra.begin(), extra.end());
    const KazeRun run = RunKaze(args);
    const std::vector<TraceLine> frames = Events(run.trace, "frame");
    return frames.size() > 1 ? frames[1].t : -1;  // frames[0] is the set-up's black
  };
  const int64_t usual = firstPicture({});
  const int64_t atZero = firstPicture({"--start-tick", "0"});
  ASSERT_GT(usual, 0);
  EXPECT_GE(atZero - usual, 15);
}

TEST(ProgramRun, EscAltF4AndCloseEachEndTheRunSoonAfter) {
  for (const char* script : {"1000 key ESC\n", "1000 key ALT+F4\n", "1000 close\n"}) {
    SCOPED_TRACE(script);
    KazeRun run = RunKaze({}, script);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    const TraceLine* exit = Last(run.trace, "exit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->Int("code"), 0);
    // The game thread ends at its next frame; Shutdown sees it at its next
    // 100 ms poll.
    EXPECT_GE(exit->t, 1000);
    EXPECT_LE(exit->t, 1000 + 100 + 20 + 2);
    EXPECT_GE(exit->Int("flips"), 49);
  }
}

TEST(ProgramRun, SameScriptGivesTheSameTraceByteForByte) {
  const std::string script =
      "0 mouse 10 10\n300 focus lost\n400 focus gained\n500 lose-surfaces\n520 focus lost\n"
      "600 focus gained\n700 key F10\n1234 key ESC\n";
  KazeRun first = RunKaze({}, script);
  KazeRun second = RunKaze({}, script);
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_FALSE(first.traceText.empty());
  EXPECT_EQ(first.traceText, second.traceText);
}

// The message loop keeps the system keys from the system: no window menu
// opens (the stand-in's default processing would open one and trace it).
TEST(ProgramRun, SystemKeysOtherThanAltF4DoNothing) {
  KazeRun run = RunKaze({"--until", "1000"}, "200 key F10\n300 key ALT\n400 key ALT+SPACE\n500 key ALT+F5\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_GE(ExitTime(run), 1000);  // only --until's ESC ended it
  for (const TraceLine& line : Events(run.trace, "window")) EXPECT_EQ(line.Str("op"), "destroy") << line.text;
}

TEST(ProgramRun, DeactivationHoldsBackTheScenarioOnlyBeforeItBegan) {
  // Activation is lost before the game thread leaves its start wait: no
  // frame but the set-up's until activation comes back.
  KazeRun held = RunKaze({"--until", "1000"}, "0 focus lost\n500 focus gained\n");
  EXPECT_EQ(held.exitCode, 0);
  EXPECT_GE(Flips(held), 1 + 24);
  EXPECT_LE(Flips(held), 1 + 27);
  KazeRun free = RunKaze({"--until", "1000"});
  EXPECT_GE(Flips(free) - Flips(held), 23);
  // Once the scenario runs, a deactivation does not pause it.
  KazeRun running = RunKaze({"--until", "1000"}, "200 focus lost\n");
  EXPECT_EQ(Flips(running), Flips(free));
}

TEST(ProgramRun, ShutdownWhileTheGameThreadStillWaitsToStartEnds) {
  KazeRun run = RunKaze({}, "0 focus lost\n300 key ESC\n");
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_EQ(Flips(run), 1);  // the set-up's flip only
  EXPECT_LE(ExitTime(run), 300 + 100 + 2);
}

// Nothing of the display or the sound is released before the game thread
// has gone, the sound before the display, the synthesizer volume put back
// after both and before the window goes. A headless run works on a mixer in
// memory, never on the machine's.
TEST(ProgramRun, TeardownReleasesEverythingInOrderAndLeavesNothing) {
  KazeRun run = RunKaze({"--until", "100"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(TeardownSteps(run.trace, 100), kTeardownSteps) << run.traceText;
  // Each of the two mixer steps opens the mixer and closes it again.
  int open = 0;
  for (const TraceLine& line : Events(run.trace, "mixer")) {
    open += line.Str("op") == "open" ? 1 : line.Str("op") == "close" ? -1 : 0;
    EXPECT_TRUE(open == 0 || open == 1) << line.text;
  }
  EXPECT_EQ(open, 0);
  EXPECT_TRUE(Events(RunKaze({"--until", "100", "--no-mixer"}).trace, "mixer").empty());
}

TEST(ProgramRun, LostSurfacesAreRestoredInOrderOnReactivation) {
  KazeRun run = RunKaze({"--until", "1000"}, "400 focus lost\n400 lose-surfaces\n600 focus gained\n");
  ASSERT_EQ(run.exitCode, 0);
  std::vector<std::string> restored;
  for (const TraceLine& line : run.trace)
    if (line.ev == "surface" && line.Str("op") == "restore") {
      EXPECT_EQ(line.t, 600);
      restored.push_back(line.Str("surface"));
    }
  EXPECT_EQ(restored, (std::vector<std::string>{"primary", "backbuffer", "offscreen"}));
  // Flips fail while the flip chain is lost, and go on after the restore.
  KazeRun whole = RunKaze({"--until", "1000"});
  EXPECT_NEAR(static_cast<double>(Flips(whole) - Flips(run)), 10.0, 1.0);
  EXPECT_TRUE(BoxesOtherThanMissingPictures(run).empty());
}

TEST(ProgramRun, FailedRestoreShowsItsMessageAndTheRunGoesOn) {
  KazeRun run = RunKaze({"--until", "1000", "--fault", "IDirectDrawSurface::Restore=0x887601C2@1"},
                        "400 lose-surfaces\n600 focus gained\n");
  EXPECT_EQ(run.exitCode, 0);
  auto boxes = BoxesOtherThanMissingPictures(run);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Str("caption"), "ERROR");
  EXPECT_EQ(boxes[0].Str("text"), "Restore FAILD");
  EXPECT_EQ(boxes[0].t, 600);
  EXPECT_TRUE(Events(run.trace, "surface").size() == 1u);  // the loss; nothing was restored after the failure
  EXPECT_GE(ExitTime(run), 1000);
}

}  // namespace
}  // namespace kaze::test
