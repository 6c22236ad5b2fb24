// The converter itself: pure tones come out pure at both usual output
// rates, and the ending into silence joins the loop's frames where the
// filter no longer reaches the end (the sweep in dsound_test.cpp checks the
// lengths, the wrap and the silence after).
#include "platform/dsound/audio_convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "support/tone_fit.h"
#include "support/wav_builder.h"

namespace kaze::test {
namespace {

// One second of a 16-bit mono tone of a whole number of hertz (so it loops).
Bytes OneSecondTone(uint32_t rate, double hertz) {
  std::vector<int16_t> samples(rate);
  for (uint32_t i = 0; i < rate; ++i)
    samples[i] = static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * hertz * i / rate)));
  return Samples16(samples);
}

TEST(AudioConvertTest, TonesComeOutPureAndTheEndingIntoSilenceJoinsTheLoop) {
  for (uint32_t outputRate : {44100u, 48000u}) {
    for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
      for (double part : {0.25, 0.4}) {
        double hertz = std::round(part * rate);
        SCOPED_TRACE(::testing::Message() << rate << " Hz -> " << outputRate << " Hz, tone " << hertz << " Hz");
        Bytes tone = OneSecondTone(rate, hertz);
        platform::ConvertedSound out;
        ASSERT_TRUE(platform::ConvertToOutput({rate, 1, 16}, tone.data(), tone.size(), outputRate, out));
        ASSERT_EQ(out.frames.size(), size_t{outputRate} * 2);
        // Everything but the tone, together, over the whole loop.
        ToneFit fit = FitTone(out.frames, 0, outputRate, 2, hertz / outputRate);
        EXPECT_NEAR(fit.amplitude, 16000, 160);
        EXPECT_LT(fit.ResidualDb(), -80);
        // The ending into silence equals the loop where it begins: the filter
        // reaches no further than the converter allows for.
        size_t ending = out.onceEnding.size() / 2;
        if (rate == outputRate) {
          EXPECT_EQ(ending, 0u);
          continue;
        }
        ASSERT_GT(ending, 0u);
        size_t start = outputRate - ending;
        EXPECT_NEAR(out.onceEnding[0], out.frames[start * 2], 1);
        EXPECT_NEAR(out.onceEnding[1], out.frames[start * 2 + 1], 1);
      }
    }
  }
}

TEST(AudioConvertTest, FormatsItDoesNotTakeLeaveNothing) {
  platform::ConvertedSound out;
  Bytes bytes(64, 0);
  EXPECT_FALSE(platform::ConvertToOutput({11025, 3, 16}, bytes.data(), bytes.size(), 44100, out));
  EXPECT_FALSE(platform::ConvertToOutput({11025, 1, 12}, bytes.data(), bytes.size(), 44100, out));
  EXPECT_FALSE(platform::ConvertToOutput({0, 1, 16}, bytes.data(), bytes.size(), 44100, out));
  EXPECT_TRUE(out.frames.empty());
}

}  // namespace
}  // namespace kaze::test
