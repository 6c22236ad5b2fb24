// Whole cycles of the program itself (its own scene loop, not the story
// tests' copy): the quit that ends it, and a cycle without a sound device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/story_fixture.h"
#include "support/kaze_run.h"
#include "support/scene_data.h"

namespace kaze::test {
namespace {

// The intro takes 74288 ms; a click at 76000 (the opening's first picture
// standing) fades the opening out, and the title follows: the story begins
// at about 86 s.
constexpr int64_t kOpeningClick = 76000;

std::string CycleData(const TempDir& dir) {
  SceneData(dir.path()).ScenePictures();
  WriteStoryData(dir.path());
  return dir.path().string();
}

TEST(Cycle, YesToTheQuitQuestionEndsTheProgramsOwnSceneLoop) {
  TempDir dir;
  // The question at 88000, yes released at 88600; ESC only at 120000.
  const std::string script =
      std::to_string(kOpeningClick) + " click left 320 240\n88000 click left 40 466\n88500 click left 285 467\n";
  const KazeRun run = RunKaze({"--data", CycleData(dir), "--until", "120000"}, script);
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  const std::vector<TraceLine> cursor = Events(run.trace, "cursor");
  ASSERT_GE(cursor.size(), 2u);
  EXPECT_TRUE(cursor[1].Bool("shown"));  // the story had begun
  EXPECT_LT(cursor[1].t, 88000);
  // The story ends in the 17th frame counting the one that took the yes,
  // the scene loop returns, and the window closes at once: no ESC.
  const TraceLine* exit = Last(run.trace, "exit");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->Int("code"), 0);
  EXPECT_GE(exit->t, 88600 + 16 * 20);
  EXPECT_LE(exit->t, 88600 + 17 * 20);
  EXPECT_LT(Last(run.trace, "frame")->t, exit->t);
}

TEST(Cycle, WithoutASoundDeviceEveryFrameComesAsWithItAndTheSoundSwitchedOffComesBackWithTheIntro) {
  TempDir dir;
  const std::string data = CycleData(dir);
  // Space held; the opening clicked away; on page 1 the sound switched
  // off; next clicked until past page 7; the information screen; the next
  // intro until its tune starts, after its second row.
  std::string script =
      "0 key down SPACE\n" + std::to_string(kOpeningClick) + " click left 320 240\n87000 click left 460 467\n";
  for (int t = 88000; t < 100000; t += 500) script += std::to_string(t) + " click left 580 465\n";
  const KazeRun sound = RunKaze({"--data", data, "--until", "130000"}, script);
  const KazeRun mute = RunKaze({"--data", data, "--until", "130000", "--mute"}, script);
  ASSERT_EQ(sound.exitCode, 0) << sound.stderrText;
  ASSERT_EQ(mute.exitCode, 0) << mute.stderrText;

  // Every frame at the same time and flip, the cycle's last flip too.
  std::vector<std::string> withSound, without;
  for (const TraceLine& line : Events(sound.trace, "frame")) withSound.push_back(line.text);
  for (const TraceLine& line : Events(mute.trace, "frame")) without.push_back(line.text);
  EXPECT_GT(withSound.size(), 1000u);  // the frames that changed the picture
  EXPECT_EQ(withSound, without);
  EXPECT_EQ(Last(sound.trace, "exit")->Int("flips"), Last(mute.trace, "exit")->Int("flips"));
  EXPECT_TRUE(Events(mute.trace, "sound").empty());

  // Switched off in the story: nothing plays until the information screen
  // (the pointer hidden) is over; then the intro plays its tune again.
  const std::vector<TraceLine> cursor = Events(sound.trace, "cursor");
  ASSERT_EQ(cursor.size(), 3u);
  std::vector<int64_t> plays;
  for (const TraceLine& line : Events(sound.trace, "sound"))
    if (line.Str("op") == "play" && line.t > 87000) plays.push_back(line.t);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_GT(plays[0], cursor[2].t + 20000);
}

}  // namespace
}  // namespace kaze::test
