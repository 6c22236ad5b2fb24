// ESC ends the scenes wherever they are: in a fade, a blend or a pause, the
// program is gone soon after, with exit code 0 and (under the sanitizers)
// nothing leaked; and the same script gives the same trace twice.
#include <gtest/gtest.h>

#include "support/scene_model.h"
#include "support/scene_data.h"

namespace kaze::test {
namespace {

constexpr int64_t kBlendRow = 4365;     // the intro's second row
constexpr int64_t kFinalPause = 71288;  // the intro's last 3 s

// The game thread ends at its next frame (at most 20 ms), Shutdown sees it
// at its next 100 ms poll.
void ExpectQuickExit(const KazeRun& run, int64_t escape) {
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  const TraceLine* exit = Last(run.trace, "exit");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->Int("code"), 0);
  EXPECT_GE(exit->t, escape);
  EXPECT_LE(exit->t, escape + 20 + 100 + 5);
  for (const TraceLine& frame : Events(run.trace, "frame")) EXPECT_LE(frame.t, escape + 21);
}

TEST(Quit, EscInAFadeABlendOrAPauseEndsTheRunAndTracesRepeat) {
  TempDir dir;
  SceneData data(dir.path());
  data.Effects();
  data.Picture("opening\\op0010.v", 40, 20, 0xF8C080);
  data.Picture("taiken\\tik011.v", 60, 60, 0xA050F8);
  data.Picture("taiken\\tik012.v", 40, 20, 0x30F860);
  auto run = [&](int64_t escape) {
    return RunKaze({"--data", dir.path().string(), "--start-tick", "100000", "--until", std::to_string(escape)});
  };

  const KazeRun fade = run(100);  // row 1 fading in
  ExpectQuickExit(fade, 100);
  EXPECT_EQ(run(100).traceText, fade.traceText);

  const KazeRun blend = run(kBlendRow + 1000);
  ExpectQuickExit(blend, kBlendRow + 1000);
  EXPECT_FALSE(FrameCrcs(blend.trace, kBlendRow, kBlendRow + 1000).empty());

  const KazeRun pause = run(kFinalPause + 1000);
  ExpectQuickExit(pause, kFinalPause + 1000);
}

}  // namespace
}  // namespace kaze::test
