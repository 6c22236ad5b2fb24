// A whole cycle of the program on the demo data set: the intro, the opening
// clicked away, the title, every page read and turned, the information
// screen and the next intro. Runs when the demo data folder exists (the
// KAZE_DEMO_DIR environment variable, or the build's own demo folder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/kaze_run.h"

namespace kaze::test {
namespace {

std::filesystem::path DemoFolder() {
  if (const char* folder = std::getenv("KAZE_DEMO_DIR"); folder != nullptr && *folder != '\0') return folder;
#ifdef KAZE_DEMO_DIR
  return KAZE_DEMO_DIR;
#else
  return {};
#endif
}

TEST(DemoCycle, PlaysACycleThroughEveryPageAndBackToTheIntroWithoutAFault) {
  const std::filesystem::path demo = DemoFolder();
  if (demo.empty() || !std::filesystem::is_directory(demo / "Data")) GTEST_SKIP() << "no demo data folder";

  // Space held for fast text; a click on next every second: it skips the
  // opening and turns each page as soon as its text is complete.
  std::string script = "0 key down SPACE\n";
  for (int t = 1000; t < 200000; t += 1000) script += std::to_string(t) + " click left 580 465\n";
  const KazeRun run = RunKaze({"--data", demo.string(), "--until", "200000"}, script);

  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_TRUE(Events(run.trace, "msgbox").empty());
  for (const TraceLine& line : Events(run.trace, "debug")) ADD_FAILURE() << line.text;
  // Hidden by the intro, shown for the story, hidden by the information screen.
  const std::vector<TraceLine> cursor = Events(run.trace, "cursor");
  ASSERT_GE(cursor.size(), 3u);
  EXPECT_FALSE(cursor[0].Bool("shown"));
  EXPECT_TRUE(cursor[1].Bool("shown"));
  EXPECT_FALSE(cursor[2].Bool("shown"));
  // The information screen takes about 21 seconds; then the next intro
  // plays its sound.
  bool introSound = false;
  for (const TraceLine& line : Events(run.trace, "sound"))
    introSound |= line.Str("op") == "play" && line.t > cursor[2].t + 20000;
  EXPECT_TRUE(introSound);
}

}  // namespace
}  // namespace kaze::test
