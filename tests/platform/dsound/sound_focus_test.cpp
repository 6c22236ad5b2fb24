// DirectSound's buffers and the program's focus: a buffer made without
// global or sticky focus falls silent while the program is inactive and
// plays on unheard, as on Windows; the others are heard throughout.
#include <dsound.h>

#include <cstring>
#include <vector>

#include "platform/dsound/audio_mixer.h"
#include "platform/dsound/sound_focus.h"

#include "support/direct_sound_fixture.h"

namespace kaze::test {
namespace {

class SoundFocusTest : public DirectSoundFixture {
 protected:
  void TearDown() override {
    platform::SetProgramActive(true);
    DirectSoundFixture::TearDown();
  }

  // A filled static buffer of 16-bit mono samples at `rate`, made with `flags`.
  IDirectSoundBuffer* MakeBuffer(const std::vector<int16_t>& samples, DWORD flags, uint32_t rate = 44100) {
    return DirectSoundFixture::MakeBuffer(1, rate, 16, Samples16(samples), flags);
  }

  static std::vector<int16_t> Ramp(size_t frames) {
    std::vector<int16_t> ramp(frames);
    for (size_t i = 0; i < frames; ++i) ramp[i] = static_cast<int16_t>(i);
    return ramp;
  }

  static DWORD PlayCursor(IDirectSoundBuffer* buffer) {
    DWORD play = 0, write = 0;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(write, play);
    return play;
  }

  static DWORD Status(IDirectSoundBuffer* buffer) {
    DWORD status = 0;
    buffer->GetStatus(&status);
    return status;
  }
};

TEST_F(SoundFocusTest, OnlyBuffersWithoutGlobalOrStickyFocusFallSilentAndEachChangeIsTracedOnce) {
  IDirectSoundBuffer* global = MakeBuffer(std::vector<int16_t>(100, 100), DSBCAPS_GLOBALFOCUS);
  IDirectSoundBuffer* sticky = MakeBuffer(std::vector<int16_t>(100, 20), DSBCAPS_STICKYFOCUS);
  IDirectSoundBuffer* plain = MakeBuffer(std::vector<int16_t>(100, 3), 0);
  for (IDirectSoundBuffer* buffer : {global, sticky, plain}) buffer->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(host_.Pull(4)[2], 123);

  platform::SetProgramActive(false);
  platform::SetProgramActive(false);
  for (int16_t sample : host_.Pull(300)) ASSERT_EQ(sample, 120);
  EXPECT_EQ(Status(plain), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING}) << "plays on unheard";

  platform::SetProgramActive(true);
  EXPECT_EQ(host_.Pull(4)[0], 123);
  std::vector<TraceRecord> focus = host_.SoundEvents("focus");
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0]["heard"], "false");
  EXPECT_EQ(focus[1]["heard"], "true");
}

TEST_F(SoundFocusTest, AnUnheardBufferMovesOnAndIsHeardAgainWhereItWouldBe) {
  IDirectSoundBuffer* buffer = MakeBuffer(Ramp(4000), 0);
  buffer->Play(0, 0, 0);
  host_.Pull(100);
  EXPECT_EQ(PlayCursor(buffer), 200u);
  platform::SetProgramActive(false);
  for (int16_t sample : host_.Pull(300)) ASSERT_EQ(sample, 0);
  EXPECT_EQ(PlayCursor(buffer), 800u);
  platform::SetProgramActive(true);
  EXPECT_EQ(host_.Pull(1)[0], 400);

  // At half the output rate a byte of the buffer plays over two output
  // frames: the cursor is the buffer's own, set and read alike.
  IDirectSoundBuffer* slow = MakeBuffer(Ramp(1000), 0, 22050);
  ASSERT_EQ(slow->SetCurrentPosition(600), DS_OK);
  EXPECT_EQ(PlayCursor(slow), 600u);
  slow->Play(0, 0, 0);
  platform::SetProgramActive(false);
  host_.Pull(200);
  EXPECT_EQ(PlayCursor(slow), 800u);

  DWORD play = 0;
  EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);  // either cursor may be left out
  EXPECT_EQ(buffer->GetCurrentPosition(nullptr, nullptr), DS_OK);
}

TEST_F(SoundFocusTest, AOncePlayedBufferThatEndsUnheardHasStoppedWhenTheFocusReturns) {
  IDirectSoundBuffer* once = MakeBuffer(std::vector<int16_t>(441, 500), 0);
  IDirectSoundBuffer* loop = MakeBuffer(std::vector<int16_t>(441, 7), 0);
  once->Play(0, 0, 0);
  loop->Play(0, 0, DSBPLAY_LOOPING);
  host_.Pull(100);
  platform::SetProgramActive(false);
  host_.Pull(1000);
  EXPECT_EQ(Status(once), 0u);
  EXPECT_EQ(PlayCursor(once), 0u) << "back at its start, as a buffer that played to its end";
  EXPECT_EQ(Status(loop), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
  EXPECT_EQ(PlayCursor(loop), (1100u % 441u) * 2);
  platform::SetProgramActive(true);
  for (int16_t sample : host_.Pull(50)) ASSERT_EQ(sample, 7);
}

}  // namespace
}  // namespace kaze::test
