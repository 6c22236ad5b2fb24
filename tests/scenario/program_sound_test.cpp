// The sound of a whole headless run: the effect files are loaded as the
// scenario starts, and a run without a sound device has no sound at all.
#include <gtest/gtest.h>

#include "support/kaze_run.h"
#include "support/wav_builder.h"

namespace kaze::test {
namespace {

const char* const kEffectFiles[] = {"kazese01", "kazese02", "kazese03", "kazese04", "kazese06", "opening", "taiken"};

// A data folder with the seven sound files; "kazese03" is not PCM.
void WriteSoundFiles(const TempDir& dir) {
  for (const char* name : kEffectFiles) {
    Bytes wav = std::string(name) == "kazese03"
                    ? Riff("WAVE", {Chunk("fmt ", FormatBody(2, 1, 22050, 4)), Chunk("data", Bytes(64, 0))})
                    : SmallWav();
    WriteFile(dir.path() / "Data" / "Sound" / (std::string(name) + ".WAV"), wav);
  }
}

std::vector<TraceLine> SoundOps(const KazeRun& run, const std::string& op) {
  std::vector<TraceLine> found;
  for (const TraceLine& line : Events(run.trace, "sound")) {
    if (line.Str("op") == op) found.push_back(line);
  }
  return found;
}

TEST(ProgramSoundTest, TheScenarioLoadsEverySoundFileAsItStarts) {
  TempDir dir;
  WriteSoundFiles(dir);
  KazeRun run = RunKaze({"--data", dir.path().string(), "--until", "300"});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  std::vector<TraceLine> opens = SoundOps(run, "open");
  ASSERT_EQ(opens.size(), 7u) << run.traceText;
  EXPECT_EQ(opens[0].Str("file"), "DATA\\SOUND\\kazese01.wav");
  for (const TraceLine& open : opens) EXPECT_TRUE(open.Bool("found")) << open.text;
  std::vector<TraceLine> loads = SoundOps(run, "load");
  ASSERT_EQ(loads.size(), 6u);
  EXPECT_EQ(loads[2].Int("channel"), 2);  // kazese04, after the refused kazese03
  bool reported = false;
  for (const TraceLine& debug : Events(run.trace, "debug")) {
    reported |= debug.Str("text") == "ＷＡＶＥファイルはＰＣＭフォーマットではない";
  }
  EXPECT_TRUE(reported) << run.traceText;
}

TEST(ProgramSoundTest, AMutedRunHasNoSound) {
  TempDir dir;
  WriteSoundFiles(dir);
  KazeRun run = RunKaze({"--data", dir.path().string(), "--until", "300", "--mute"});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_TRUE(Events(run.trace, "sound").empty()) << run.traceText;
  EXPECT_GE(Events(run.trace, "frame").size(), 1u);
}

}  // namespace
}  // namespace kaze::test
