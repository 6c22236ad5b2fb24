// The software DirectSound: what its buffers put into the host's output.
#include <dsound.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/dsound/audio_mixer.h"

#include "support/direct_sound_fixture.h"

namespace kaze::test {
namespace {

class DirectSoundTest : public DirectSoundFixture {
 protected:
  // A buffer of one constant 16-bit mono value at the output rate.
  IDirectSoundBuffer* ConstantBuffer(int16_t value, size_t frames) {
    return MakeBuffer(1, 44100, 16, Samples16(std::vector<int16_t>(frames, value)));
  }
};

TEST_F(DirectSoundTest, MinusSixHundredthsOfADecibelTimesTenHalveTheAmplitude) {
  IDirectSoundBuffer* buffer = ConstantBuffer(20000, 4410);
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_NEAR(host_.Pull(64)[10], 20000, 1);
  ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
  std::vector<int16_t> mix = host_.Pull(1000);
  for (int16_t sample : mix) ASSERT_NEAR(sample, 10000, 100);  // half, within 1%
  ASSERT_EQ(buffer->SetVolume(-10000), DS_OK);
  EXPECT_EQ(host_.Pull(16)[0], 0);
}

TEST_F(DirectSoundTest, PlayingBuffersAreSummedAndClippedNotWrappedAround) {
  IDirectSoundBuffer* a = ConstantBuffer(1000, 441);
  IDirectSoundBuffer* b = ConstantBuffer(-3000, 441);
  a->Play(0, 0, 0);
  b->Play(0, 0, 0);
  EXPECT_NEAR(host_.Pull(8)[3], -2000, 2);
  IDirectSoundBuffer* loud1 = ConstantBuffer(30000, 441);
  IDirectSoundBuffer* loud2 = ConstantBuffer(30000, 441);
  a->Stop();
  b->Stop();
  loud1->Play(0, 0, 0);
  loud2->Play(0, 0, 0);
  EXPECT_EQ(host_.Pull(8)[5], 32767);
}

// A tone in one PCM format: a cosine of 40 frames a cycle, the right
// channel the left one negated. A looping tone has whole cycles, so it
// starts away from zero and wraps smoothly; a fading tone swells from
// silence at its first frame and dies away to silence at its last, as a
// sound played once is made (one that starts or ends on a step or a kink
// has a click of its own, which a band-limited converter renders with the
// ringing of any click).
struct Tone {
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  size_t frames;
  bool fading;
  Bytes bytes;
  double largestStep = 0;  // of the tone between neighbouring frames, in 16-bit units

  static constexpr double kFramesPerCycle = 40;

  // The tone itself (not its samples) at a time in frames, left channel.
  double At(double frame) const {
    double tone = 24000 * std::cos(2 * M_PI * frame / kFramesPerCycle);
    if (!fading) return tone;
    double last = static_cast<double>(frames - 1);
    double swell = std::sin(M_PI * frame / last);
    return frame < last ? tone * swell * swell : 0;
  }
};

Tone MakeTone(uint16_t channels, uint32_t rate, uint16_t bits, size_t frames, bool fading) {
  Tone tone{channels, rate, bits, frames, fading, {}};
  for (size_t i = 0; i < frames; ++i) {
    double at = tone.At(static_cast<double>(i));
    if (i > 0) tone.largestStep = std::max(tone.largestStep, std::abs(at - tone.At(static_cast<double>(i) - 1)));
    int32_t value = static_cast<int32_t>(std::lround(at));
    if (bits == 8) value = value / 256 * 256;
    for (int32_t side : {value, -value}) {
      if (bits == 8)
        tone.bytes.push_back(static_cast<uint8_t>(side / 256 + 128));
      else
        Put16(tone.bytes, static_cast<uint16_t>(side));
      if (channels == 1) break;
    }
  }
  return tone;
}

// A converted sound lasts round(frames * 44100 / rate) output frames, and
// output frame j plays the sound at frame j * frames / length: a loop of it
// lasts exactly as long as the loop of the original.
size_t ConvertedLength(size_t frames, uint32_t rate) { return (frames * 44100 * 2 + rate) / (2 * rate); }

constexpr uint32_t kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 96000, 7919, 200000};

class ConvertedSoundTest : public DirectSoundTest {
 protected:
  // Checks `mix`, output from where the tone started: each frame near the
  // tone at its own time (within what straight lines between samples miss
  // of a cycle of 40 frames, and the rounding of 8 bits, which a curve
  // through the rounded samples may carry as far again between them), no
  // step larger than the tone's own largest one scaled to an output frame
  // (a curve steps a little more than the straight line between two
  // samples, and carries its share of the rounding), and silence after a
  // tone played once.
  void ExpectFollows(const Tone& tone, const std::vector<int16_t>& mix, size_t length, bool looping) {
    double stretch = static_cast<double>(tone.frames) / static_cast<double>(length);
    double quantum = tone.bits == 8 ? 256 : 1;
    double bound = tone.largestStep * stretch * 1.005 + 2 + quantum / 2;
    double near = 80 + 2 * quantum;
    for (int channel = 0; channel < 2; ++channel) {
      double sign = channel == 1 && tone.channels == 2 ? -1 : 1;
      int32_t previous = mix[static_cast<size_t>(channel)];  // the sound's own start
      for (size_t j = 0; j < mix.size() / 2; ++j) {
        int32_t heard = mix[j * 2 + static_cast<size_t>(channel)];
        ASSERT_LE(std::abs(heard - previous), bound) << "step into frame " << j << ", channel " << channel;
        previous = heard;
        double due = !looping && j >= length ? 0 : sign * tone.At(static_cast<double>(j % length) * stretch);
        ASSERT_NEAR(heard, due, near) << "frame " << j << ", channel " << channel;
      }
    }
  }
};

TEST_F(ConvertedSoundTest, EveryFormatPlaysAtItsExactLengthWithoutAStepAndEndsAtZero) {
  for (uint32_t rate : kRates) {
    for (uint16_t bits : {8, 16}) {
      for (uint16_t channels : {1, 2}) {
        SCOPED_TRACE(::testing::Message() << rate << " Hz, " << bits << " bit, " << channels << " channels");
        Tone tone = MakeTone(channels, rate, bits, rate / 20, true);
        size_t length = ConvertedLength(tone.frames, rate);
        IDirectSoundBuffer* buffer = MakeBuffer(channels, rate, bits, tone.bytes);
        ASSERT_NE(buffer, nullptr);
        buffer->Play(0, 0, 0);
        std::vector<int16_t> mix = host_.Pull(length - 1);
        DWORD status = 0;
        buffer->GetStatus(&status);
        EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING}) << "ended early";
        std::vector<int16_t> rest = host_.Pull(65);
        buffer->GetStatus(&status);
        EXPECT_EQ(status, 0u) << "still playing";
        mix.insert(mix.end(), rest.begin(), rest.end());
        ExpectFollows(tone, mix, length, false);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST_F(ConvertedSoundTest, ALoopWrapsWithoutAClickAtEveryRate) {
  for (uint32_t rate : kRates) {
    for (uint16_t bits : {8, 16}) {
      uint16_t channels = bits == 8 ? 1 : 2;
      SCOPED_TRACE(::testing::Message() << rate << " Hz, " << bits << " bit, " << channels << " channels");
      Tone tone = MakeTone(channels, rate, bits, rate / 800 * 40, false);  // whole cycles
      size_t length = ConvertedLength(tone.frames, rate);
      IDirectSoundBuffer* buffer = MakeBuffer(channels, rate, bits, tone.bytes);
      ASSERT_NE(buffer, nullptr);
      buffer->Play(0, 0, DSBPLAY_LOOPING);
      ExpectFollows(tone, host_.Pull(length * 2 + 10), length, true);
      buffer->Stop();
      if (HasFatalFailure()) return;
    }
  }
}

TEST_F(ConvertedSoundTest, TheSlowestAndFastestRatesKeepTheirLength) {
  for (auto [rate, frames] : {std::pair<uint32_t, size_t>{100, 7}, {200000, 20001}, {12345, 1001}}) {
    SCOPED_TRACE(rate);
    IDirectSoundBuffer* buffer = MakeBuffer(1, rate, 16, Samples16(std::vector<int16_t>(frames, 5000)));
    ASSERT_NE(buffer, nullptr);
    buffer->Play(0, 0, 0);
    size_t length = ConvertedLength(frames, rate);
    std::vector<int16_t> mix = host_.Pull(length - 1);
    // The sound, within the ringing of its ends into silence: at 100 Hz the
    // whole sound lies within the filter's reach of them.
    EXPECT_NEAR(mix[0], 5000, 500);
    EXPECT_NEAR(mix[length / 2 * 2 + 1], 5000, 500);
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING}) << "ended early";
    host_.Pull(1);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u) << "still playing";
  }
}

TEST_F(DirectSoundTest, StopKeepsThePositionAndSetCurrentPositionRewinds) {
  std::vector<int16_t> ramp(4000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
  IDirectSoundBuffer* buffer = MakeBuffer(1, 44100, 16, Samples16(ramp));
  buffer->Play(0, 0, 0);
  host_.Pull(100);
  buffer->Stop();
  EXPECT_EQ(host_.Pull(4)[0], 0);
  buffer->Play(0, 0, 0);
  EXPECT_NEAR(host_.Pull(4)[0], 100, 1);
  buffer->SetCurrentPosition(400);
  EXPECT_NEAR(host_.Pull(4)[0], 200, 1);
  EXPECT_EQ(buffer->SetCurrentPosition(8000), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, ABufferPlayedBeforeItIsFilledIsSilenceOfItsLengthThenItsSamples) {
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME, 882, 0, &format};  // 441 frames
  IDirectSoundBuffer* buffer = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
  buffers_.push_back(buffer);
  // Played once: silent, and it ends after its 441 frames.
  DWORD status = 0;
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  for (int16_t sample : host_.Pull(440)) ASSERT_EQ(sample, 0);
  buffer->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING);
  host_.Pull(1);
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  // Looping: it wraps at its length.
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  for (int16_t sample : host_.Pull(541)) ASSERT_EQ(sample, 0);
  DWORD play = 0, write = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 200u);  // frame 100
  // Filled while it plays: heard from where it is.
  LPVOID part1 = nullptr, part2 = nullptr;
  DWORD bytes1 = 0, bytes2 = 0;
  ASSERT_EQ(buffer->Lock(0, 882, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  std::vector<int16_t> filled(441, 1234);
  std::memcpy(part1, filled.data(), bytes1);
  ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_NEAR(host_.Pull(4)[0], 1234, 1);
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 208u);
}

TEST_F(DirectSoundTest, ALockPastTheEndWrapsIntoASecondPart) {
  IDirectSoundBuffer* buffer = ConstantBuffer(0, 100);
  LPVOID part1 = nullptr, part2 = nullptr;
  DWORD bytes1 = 0, bytes2 = 0;
  ASSERT_EQ(buffer->Lock(150, 100, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(bytes1, 50u);
  EXPECT_EQ(bytes2, 50u);
  EXPECT_EQ(static_cast<uint8_t*>(part1) - static_cast<uint8_t*>(part2), 150);
  EXPECT_EQ(buffer->Lock(0, 4, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDCALL);  // already locked
  EXPECT_EQ(buffer->Unlock(part1, bytes1 + 1, part2, bytes2), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_EQ(buffer->Lock(200, 4, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 201, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, OnlyOneDeviceAndNoneOnceReleased) {
  IDirectSound* second = nullptr;
  EXPECT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DSERR_ALLOCATED);
  EXPECT_EQ(second, nullptr);
  ds_->Release();
  ds_ = nullptr;
  EXPECT_EQ(host_.audio, nullptr);
  EXPECT_EQ(host_.closeAudioCalls, 1);
}

TEST_F(DirectSoundTest, TheGameThreadAndTheAudioThreadMeetSafely) {
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<int16_t> stereo(256 * 2);
    while (!done) platform::TheAudioMixer().Mix(stereo.data(), 256);
  });
  for (int round = 0; round < 200; ++round) {
    IDirectSoundBuffer* buffer = ConstantBuffer(static_cast<int16_t>(round), 300);
    buffer->Play(0, 0, round % 2 ? DSBPLAY_LOOPING : 0);
    buffer->SetVolume(-round * 10);
    buffer->SetCurrentPosition(2);
    if (round % 3 == 0) {
      buffer->Stop();
      buffer->Release();
      buffers_.pop_back();
    }
  }
  done = true;
  audio.join();
}

}  // namespace
}  // namespace kaze::test
