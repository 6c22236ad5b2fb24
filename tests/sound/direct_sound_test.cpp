// The software DirectSound: what its buffers put into the host's output.
#include <dsound.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/audio_mixer.h"

#include "sound_fixture.h"

namespace kaze::test {
namespace {

class DirectSoundTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), DS_OK);
  }

  void TearDown() override {
    for (IDirectSoundBuffer* buffer : buffers_) buffer->Release();
    if (ds_ != nullptr) ds_->Release();
    SoundTest::TearDown();
  }

  // A filled static buffer of `bytes` in the given PCM format.
  IDirectSoundBuffer* MakeBuffer(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& bytes) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, rate * channels * bits / 8,
                        static_cast<WORD>(channels * bits / 8), bits, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME,
                      static_cast<DWORD>(bytes.size()), 0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (buffer == nullptr) return nullptr;
    buffers_.push_back(buffer);
    LPVOID part1 = nullptr, part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    EXPECT_EQ(buffer->Lock(0, static_cast<DWORD>(bytes.size()), &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    std::memcpy(part1, bytes.data(), bytes1);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
    return buffer;
  }

  // A buffer of one constant 16-bit mono value at the output rate.
  IDirectSoundBuffer* ConstantBuffer(int16_t value, size_t frames) {
    return MakeBuffer(1, 44100, 16, Samples16(std::vector<int16_t>(frames, value)));
  }

  IDirectSound* ds_ = nullptr;
  std::vector<IDirectSoundBuffer*> buffers_;
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

TEST_F(DirectSoundTest, EightBitStereoAtAnotherRateIsConvertedToTheOutput) {
  // Left channel high, right channel low, at 11025 Hz: four output frames
  // for every input frame.
  Bytes frames;
  for (int i = 0; i < 1000; ++i) frames.insert(frames.end(), {0xC0, 0x40});
  IDirectSoundBuffer* buffer = MakeBuffer(2, 11025, 8, frames);
  buffer->Play(0, 0, 0);
  std::vector<int16_t> mix = host_.Pull(5000);
  EXPECT_NEAR(mix[2000 * 2], 0x40 << 8, 300);
  EXPECT_NEAR(mix[2000 * 2 + 1], -(0x40 << 8), 300);
  // Over after about 4000 frames.
  EXPECT_EQ(mix[4100 * 2], 0);
  DWORD status = 1;
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
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

TEST_F(DirectSoundTest, ALoopingBufferWrapsToItsStart) {
  IDirectSoundBuffer* buffer = MakeBuffer(1, 44100, 16, Samples16({1000, 2000, 3000}));
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  std::vector<int16_t> mix = host_.Pull(7);
  const int expected[] = {1000, 2000, 3000, 1000, 2000, 3000, 1000};
  for (size_t frame = 0; frame < 7; ++frame) {
    EXPECT_NEAR(mix[frame * 2], expected[frame], 1);  // the converter may round by one step
    EXPECT_EQ(mix[frame * 2 + 1], mix[frame * 2]);
  }
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
