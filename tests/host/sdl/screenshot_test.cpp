// F12's screenshot when the disk is full.
#ifdef KAZE_HAVE_SDL
#include "host/sdl/screenshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/write_failure.h"
#include "support/kaze_run.h"
#include "support/limited_child.h"

namespace kaze::test {
namespace {

// F12's screenshot is the player's: one line, no file left, and the run is
// not ended for it (the child's exit code: whether a failure was recorded).
TEST(FullDisk, AScreenshotThatCannotBeWrittenIsSaidAndLeavesNothing) {
  TempDir dir;
  const ChildRun run = RunWithFileLimit(512, [&] {
    host::TheWriteFailures().Begin([] {});
    if (chdir(dir.path().c_str()) != 0) return 9;
    host::StoredFrame frame;
    frame.pixels.assign(640 * 480, 0x1234);
    host::SaveScreenshot(frame);
    return host::TheWriteFailures().Any() ? 1 : 0;
  });
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText.rfind("kaze: cannot write the screenshot " + dir.path().string() + "/kaze-", 0), 0u)
      << run.stderrText;
  EXPECT_NE(run.stderrText.find(".png: File too large\n"), std::string::npos) << run.stderrText;
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace kaze::test

#endif  // KAZE_HAVE_SDL
