// A run recorded as a Y4M video with its sound: every frame up to the end,
// the picture of the snapshot at the same moment, and nothing changed in
// the run itself.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "support/y4m_video.h"

namespace kaze::test {
namespace {

// The demo story recorded to its end by --until, picture and sound, next
// to its snapshot.
TEST(RecordedRun, HoldsEveryFrameUpToTheEndAndMatchesTheSnapshotAndLeavesTheRunAsItWas) {
  TempDir dir;
  const std::string video = (dir.path() / "run.y4m").string();
  const std::vector<std::string> common = {"--data", KAZE_DEMO_DIR, "--until",    "1000",
                                           "--snap", "700",         "--snap-dir", dir.path().string()};
  std::vector<std::string> recording = common;
  const std::string sound = (dir.path() / "run.wav").string();
  recording.insert(recording.end(), {"--record", video, "--audio-out", sound});
  KazeRun plain = RunKaze(common);
  KazeRun recorded = RunKaze(recording);
  ASSERT_EQ(recorded.exitCode, 0) << recorded.stderrText;
  EXPECT_EQ(recorded.traceText, plain.traceText);  // the run sees nothing of the recording

  const TraceLine* exit = Last(recorded.trace, "exit");
  ASSERT_NE(exit, nullptr);
  ASSERT_GE(exit->t, 1000);
  const std::string bytes = ReadAll(video);
  // One frame for each 20 ms from 0 to the end of the run, both included.
  const size_t frames = static_cast<size_t>(exit->t / 20 + 1);
  ASSERT_EQ(bytes.size(), kY4mHeaderLine.size() + frames * kY4mFrameBytes);
  EXPECT_EQ(bytes.substr(0, kY4mHeaderLine.size()), kY4mHeaderLine);
  EXPECT_EQ(std::filesystem::file_size(sound), 44 + frames * 882 * 4);  // the sound ends with the video

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.path() / "snap-700.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  // Frame 35 is 700 ms: each 2x2 block against the snapshot converted in
  // floating point, within the rounding of the fixed-point conversion.
  int worst = 0;
  double spread = 0;
  for (size_t y = 0; y < 480; y += 2)
    for (size_t x = 0; x < 640; x += 2) {
      double r = 0, g = 0, b = 0;
      for (size_t dy = 0; dy < 2; ++dy)
        for (size_t dx = 0; dx < 2; ++dx) {
          const uint8_t* p = &rgb[((y + dy) * 640 + x + dx) * 3];
          const double luma = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
          const Yuv got = Sample(bytes, 35, x + dx, y + dy);
          worst = std::max(worst, static_cast<int>(std::abs(got.y - std::lround(luma))));
          r += p[0] / 4.0, g += p[1] / 4.0, b += p[2] / 4.0;
        }
      const Yuv got = Sample(bytes, 35, x, y);
      const double cb = std::min(255.0, 128 - 0.168736 * r - 0.331264 * g + 0.5 * b);
      const double cr = std::min(255.0, 128 + 0.5 * r - 0.418688 * g - 0.081312 * b);
      worst = std::max({worst, static_cast<int>(std::abs(got.cb - std::lround(cb))),
                        static_cast<int>(std::abs(got.cr - std::lround(cr)))});
      spread += std::abs(r - g) + std::abs(g - b);
    }
  EXPECT_LE(worst, 1);
  EXPECT_GT(spread, 0) << "the snapshot should show a coloured picture";
}

}  // namespace
}  // namespace kaze::test
