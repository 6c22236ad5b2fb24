// Pure tones through a whole headless run: sounds at 8000 to 48000 Hz come
// out of --audio-out at 44100 Hz as the same tones at the same level, with
// no image or alias of them left to hear.
//
// Each run's data set plays two stereo tone files, a tone near a quarter of
// the file's rate on the left and one near 0.4 of it on the right: the
// intro's wind (effect 4) as an 8-bit file, and the opening's moth loop
// (effect 1) as a 16-bit one. Each plays at full volume from its start
// until the next fade; its steady stretch is found from the trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "support/scene_data.h"
#include "support/tone_fit.h"
#include "support/wav_builder.h"

namespace kaze::test {
namespace {

constexpr double kOutputRate = 44100;
// Near a quarter and 0.4 of the file's rate, and simple fractions of
// neither rate, so that no image and no quantisation product of the 8-bit
// files falls on a tone or on an image looked for.
constexpr double kLeftCycles = 0.2467, kRightCycles = 0.4031;
// Two seconds of loop: the span analysed lies between 250 and 1250 ms
// after the start, away from the loop's join at either end.
constexpr uint32_t kLoopMs = 2000, kSpanFromMs = 250, kSpanMs = 1000;
// The moth loop starts at about 84 s; the run ends just after its span.
constexpr const char* kUntilMs = "85500";
constexpr double kAmplitude8 = 100, kAmplitude16 = 16000;

struct ToneSound {
  int channel;  // in loading order: kazese01 is 0, kazese04 3
  const char* file;
  uint16_t bits;
  double amplitude;  // in the file's units
};
const ToneSound kSounds[] = {{3, "kazese04", 8, kAmplitude8}, {0, "kazese01", 16, kAmplitude16}};

// The output holds a component at g Hz at fold(g): its own rate's aliases
// brought into 0 to 22050 Hz.
double Fold(double hz) {
  double at = std::fmod(hz, kOutputRate);
  return at > kOutputRate / 2 ? kOutputRate - at : at;
}

// Where the images of a tone of f Hz in a file at `rate` land in the
// output: |k * rate +- f| folded, leaving out those that fall on the tone
// itself (every one, when the rates are equal).
std::vector<double> ImagesOf(double f, double rate) {
  std::vector<double> images;
  for (int k = 1; k * rate - f < 200000; ++k) {
    for (double g : {k * rate - f, k * rate + f}) {
      if (std::abs(Fold(g) - f) > 20) images.push_back(Fold(g));
    }
  }
  return images;
}

// The first output frame of the sound's steady stretch: it plays at full
// volume (0) and nothing changes its volume or stops it during the span.
int64_t SteadySpanStart(const std::vector<TraceLine>& trace, int channel) {
  int64_t volume = 0, playedAt = -1;
  for (const TraceLine& line : Events(trace, "sound")) {
    if (line.Int("channel") != channel) continue;
    const std::string op = line.Str("op");
    if (playedAt < 0 && op == "volume") volume = line.Int("volume");
    if (playedAt < 0 && op == "play") playedAt = line.t;
    if (playedAt >= 0 && (op == "volume" || op == "stop")) {
      EXPECT_GT(line.t, playedAt + kSpanFromMs + kSpanMs) << "channel " << channel << " changes: " << line.text;
      break;
    }
  }
  EXPECT_EQ(volume, 0) << "channel " << channel;
  return playedAt < 0 ? -1 : (playedAt + kSpanFromMs) * static_cast<int64_t>(kOutputRate) / 1000;
}

std::vector<int16_t> WavSamples(const std::string& bytes) {
  std::vector<int16_t> samples;
  if (bytes.size() < 44 || bytes.compare(36, 4, "data") != 0) return samples;
  samples.resize(std::min<size_t>(Le32(bytes, 40), bytes.size() - 44) / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] =
        static_cast<int16_t>(static_cast<uint8_t>(bytes[44 + 2 * i]) | static_cast<uint8_t>(bytes[45 + 2 * i]) << 8);
  }
  return samples;
}

double Db(double ratio) { return 20 * std::log10(ratio); }

// One side of one sound: the tone's level, what else is left, and its
// images; 16-bit files are held to everything else together, 8-bit ones,
// with their own quantisation noise near -50 dB, to each image.
void CheckTone(const std::vector<int16_t>& out, size_t from, double f, double rate, const ToneSound& sound) {
  const size_t count = static_cast<size_t>(kSpanMs * kOutputRate / 1000);
  const ToneFit fit = FitTone(out, from, count, 2, f / kOutputRate);
  const double expected = sound.amplitude * (sound.bits == 8 ? 256 : 1);  // the mixer's gain is 1 at volume 0
  double worst = -1000, worstAt = 0;
  for (double image : ImagesOf(f, rate)) {
    const double level = Db(LevelAt(out, from, count, 2, image / kOutputRate) / fit.amplitude);
    if (level > worst) {
      worst = level;
      worstAt = image;
    }
  }
  char where[64], image[64] = "none (all fall on the tone)";
  std::snprintf(where, sizeof where, "%.0f Hz %d-bit, tone %.2f Hz", rate, sound.bits, f);
  if (worstAt > 0) std::snprintf(image, sizeof image, "%.1f dB at %.0f Hz", worst, worstAt);
  // The figures docs/SOUND.md quotes.
  std::printf("%s: level %+.3f dB, the rest %.1f dB, worst image %s\n", where, Db(fit.amplitude / expected),
              fit.ResidualDb(), image);
  EXPECT_NEAR(Db(fit.amplitude / expected), 0, 0.5) << where;
  if (sound.bits == 16) {
    EXPECT_LE(fit.ResidualDb(), -60) << where;
  }
  EXPECT_LE(worst, -60) << where << ", image at " << worstAt << " Hz";
}

class ProgramToneTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(ProgramToneTest, TonesComeOutAtTheirLevelWithEverythingElseSixtyDecibelsUnder) {
  const uint32_t rate = GetParam();
  TempDir dir;
  SceneData data(dir.path());
  data.ScenePictures();
  data.Effects();
  for (const ToneSound& sound : kSounds) {
    data.Sound(sound.file,
               StereoToneWav(rate, sound.bits, kLeftCycles, kRightCycles, sound.amplitude, rate * kLoopMs / 1000));
  }
  const std::string wav = (dir.path() / "run.wav").string();
  KazeRun run = RunKaze({"--data", dir.path().string(), "--until", kUntilMs, "--audio-out", wav});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;

  std::vector<TraceLine> loads;
  for (const TraceLine& line : Events(run.trace, "sound"))
    if (line.Str("op") == "load") loads.push_back(line);
  ASSERT_EQ(loads.size(), 7u) << run.traceText;
  const std::vector<int16_t> out = WavSamples(ReadAll(wav));
  for (const ToneSound& sound : kSounds) {
    const TraceLine& load = loads[static_cast<size_t>(sound.channel)];
    ASSERT_EQ(load.Int("rate"), rate) << load.text;
    ASSERT_EQ(load.Int("bits"), sound.bits) << load.text;
    const int64_t start = SteadySpanStart(run.trace, sound.channel);
    ASSERT_GE(start, 0) << sound.file << " never plays";
    ASSERT_LE(static_cast<size_t>(start + kSpanMs * kOutputRate / 1000) * 2, out.size()) << "the run ends too soon";
    const size_t from = static_cast<size_t>(start) * 2;
    CheckTone(out, from, kLeftCycles * rate, rate, sound);
    CheckTone(out, from + 1, kRightCycles * rate, rate, sound);
  }
}

INSTANTIATE_TEST_SUITE_P(FileRates, ProgramToneTest, ::testing::Values(8000u, 11025u, 22050u, 44100u, 48000u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace kaze::test
