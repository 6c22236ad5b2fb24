// The demo set's intro with the focus lost for five seconds: its tune falls
// silent and comes back where it would have been, and nothing else of the
// run changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/kaze_run.h"

namespace kaze::test {
namespace {

constexpr size_t kWavHeader = 44;
constexpr size_t kFramesPerMs = 44100 / 1000;  // 44.1, rounded down
// The headless host mixes each step of its clock as one pull; while the
// window's message pump runs (it sleeps 1 ms) no step is longer than 1 ms.
constexpr size_t kOneBlock = 45;

struct RecordedRun {
  KazeRun run;
  std::vector<int16_t> stereo;  // the WAV's samples
};

RecordedRun RunIntro(const TempDir& dir, const std::string& name, const std::string& script) {
  const std::string sound = (dir.path() / (name + ".wav")).string();
  RecordedRun recorded{RunKaze({"--data", KAZE_DEMO_DIR, "--until", "27000", "--audio-out", sound}, script), {}};
  const std::string bytes = ReadAll(sound);
  if (bytes.size() > kWavHeader) {
    recorded.stereo.resize((bytes.size() - kWavHeader) / 2);
    std::memcpy(recorded.stereo.data(), bytes.data() + kWavHeader, recorded.stereo.size() * 2);
  }
  return recorded;
}

size_t SampleAt(size_t frame) { return frame * 2; }

TEST(SoundFocusRun, TheIntroTuneIsSilentWhileInactiveAndHeardAgainWhereItWouldBe) {
  TempDir dir;
  const RecordedRun plain = RunIntro(dir, "plain", "");
  const RecordedRun away = RunIntro(dir, "away", "20000 focus lost\n25000 focus gained\n");
  ASSERT_EQ(plain.run.exitCode, 0) << plain.run.stderrText;
  ASSERT_EQ(away.run.exitCode, 0) << away.run.stderrText;
  ASSERT_EQ(away.stereo.size(), plain.stereo.size());
  ASSERT_GT(plain.stereo.size(), SampleAt(26000 * 441 / 10));

  const size_t lost = SampleAt(20000 * 441 / 10), gained = SampleAt(25000 * 441 / 10);
  const size_t block = SampleAt(kOneBlock);
  for (size_t i = 0; i < lost; ++i) ASSERT_EQ(away.stereo[i], plain.stereo[i]) << "sample " << i << " before";
  for (size_t i = lost + block; i < gained; ++i) ASSERT_EQ(away.stereo[i], 0) << "sample " << i << " while away";
  for (size_t i = gained + block; i < plain.stereo.size(); ++i)
    ASSERT_EQ(away.stereo[i], plain.stereo[i]) << "sample " << i << " after";
  // The tune plays on both sides of the absence, so the checks above say something.
  auto loudest = [&](size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(int{plain.stereo[i]}));
    return peak;
  };
  EXPECT_GT(loudest(lost - SampleAt(kFramesPerMs * 500), lost), 1000);
  EXPECT_GT(loudest(gained + block, gained + SampleAt(kFramesPerMs * 500)), 1000);

  // The trace gains the two records of the sound's focus and nothing else.
  std::vector<std::string> focus;
  std::string rest;
  for (const TraceLine& line : away.run.trace) {
    if (line.ev == "sound" && line.Str("op") == "focus")
      focus.push_back(std::to_string(line.t) + (line.Bool("heard") ? " heard" : " silent"));
    else
      rest += line.text + "\n";
  }
  EXPECT_EQ(focus, (std::vector<std::string>{"20000 silent", "25000 heard"}));
  EXPECT_EQ(rest, plain.run.traceText);
}

}  // namespace
}  // namespace kaze::test
