// Tests of the stand-in's DirectSound: a device set up over the fake audio
// host, and filled static buffers made on it, released at the end.
#pragma once

#include <dsound.h>

#include <cstring>
#include <vector>

#include "support/audio_fixture.h"

namespace kaze::test {

class DirectSoundFixture : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), DS_OK);
  }

  void TearDown() override {
    for (IDirectSoundBuffer* buffer : buffers_) buffer->Release();
    buffers_.clear();
    if (ds_ != nullptr) ds_->Release();
    ds_ = nullptr;
    AudioTest::TearDown();
  }

  // A filled static buffer of `bytes` in the given PCM format, made with
  // `flags` besides the program's own (static, volume).
  IDirectSoundBuffer* MakeBuffer(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& bytes, DWORD flags = 0) {
    WAVEFORMATEX format{
        WAVE_FORMAT_PCM, channels, rate, rate * channels * bits / 8, static_cast<WORD>(channels * bits / 8), bits, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | flags,
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

  IDirectSound* ds_ = nullptr;
  std::vector<IDirectSoundBuffer*> buffers_;
};

}  // namespace kaze::test
