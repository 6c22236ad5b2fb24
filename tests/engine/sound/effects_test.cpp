// The effect layer: which channel each effect lands in, and when an effect
// really starts.
#include <dsound.h>

#include "support/sound_fixture.h"

namespace kaze::test {
namespace {

const char* const kEffectFiles[] = {"kazese01", "kazese02", "kazese03", "kazese04", "kazese06", "opening", "taiken"};

class EffectsTest : public SoundTest {
 protected:
  void LoadAllEffects() {
    for (const char* name : kEffectFiles) WriteSound(name, SmallWav());
    CreateBank();
    LoadEffects();
  }

  bool IsPlaying(int effect) {
    DWORD status = 0;
    TheSoundBank->channels[EffectChannels[effect]]->GetStatus(&status);
    return (status & DSBSTATUS_PLAYING) != 0;
  }
};

TEST_F(EffectsTest, LoadEffectsPutsTheSevenFilesIntoChannelsZeroToSix) {
  LoadAllEffects();
  const uint16_t expected[kLastEffect + 1] = {0, 0, 1, 2, 3, 0, 4, 5, 6};
  for (int effect = 1; effect <= kLastEffect; ++effect) EXPECT_EQ(EffectChannels[effect], expected[effect]) << effect;
  EXPECT_EQ(TheSoundBank->FindFreeChannel(), 7);
  // Each file's load is seen in the trace, by the name the program uses.
  std::vector<TraceRecord> opens = host_.SoundEvents("open");
  ASSERT_EQ(opens.size(), 7u);
  EXPECT_EQ(opens[5]["file"], "DATA\\SOUND\\opening.wav");
  EXPECT_EQ(opens[5]["found"], "true");
  EXPECT_EQ(host_.SoundEvents("load").size(), 7u);

  ReleaseEffects();
  for (int effect : {1, 2, 3, 4, 6, 7, 8}) EXPECT_EQ(EffectChannels[effect], kNoChannel) << effect;
  EXPECT_EQ(TheSoundBank->FindFreeChannel(), 0);
}

TEST_F(EffectsTest, AMissingFileLeavesItsEffectWithoutAChannelAndTheOthersMoveUp) {
  for (const char* name : kEffectFiles) {
    if (std::string(name) != "kazese02") WriteSound(name, SmallWav());
  }
  CreateBank();
  LoadEffects();
  EXPECT_EQ(EffectChannels[2], kNoChannel);
  EXPECT_EQ(EffectChannels[3], 1);
  EXPECT_EQ(EffectChannels[8], 5);
  // Playing the missing effect does nothing and marks it looping all the same.
  SoundEnabled = 1;
  PlayEffect(2, 1);
  EXPECT_TRUE(host_.SoundEvents("play").empty());
  EXPECT_EQ(EffectLooping[2], 1);
}

TEST_F(EffectsTest, ALoopingEffectIsNotRestartedUntilItIsStopped) {
  LoadAllEffects();
  SoundEnabled = 1;
  PlayEffect(3, 1);
  EXPECT_EQ(host_.sleeps, 1);
  EXPECT_EQ(EffectLooping[3], 1);
  host_.Pull(100);  // it moves on from the start

  PlayEffect(3, 1);
  EXPECT_EQ(host_.sleeps, 1);  // returned at once, no frame
  ASSERT_EQ(host_.SoundEvents("play").size(), 1u);
  EXPECT_EQ(host_.SoundEvents("play")[0]["channel"], "2");
  EXPECT_EQ(host_.SoundEvents("play")[0]["loop"], "true");

  StopEffect(3);
  EXPECT_EQ(EffectLooping[3], 0);
  EXPECT_FALSE(IsPlaying(3));
  PlayEffect(3, 1);
  EXPECT_EQ(host_.sleeps, 2);
  EXPECT_EQ(host_.SoundEvents("play").size(), 2u);
  EXPECT_TRUE(IsPlaying(3));
}

TEST_F(EffectsTest, AOneShotEffectRestartsFromItsBeginningAtFullVolume) {
  LoadAllEffects();
  SoundEnabled = 1;
  TheSoundBank->SetChannelVolume(EffectChannels[1], -3000);
  PlayEffect(1, 0);
  PlayEffect(1, 0);
  EXPECT_EQ(host_.SoundEvents("play").size(), 2u);
  EXPECT_EQ(EffectLooping[1], 0);
  LONG volume = -1;
  TheSoundBank->channels[EffectChannels[1]]->GetVolume(&volume);
  EXPECT_EQ(volume, 0);
  // The 441 samples at 22050 Hz last 882 frames at 44100 Hz; then it ends.
  host_.Pull(870);
  EXPECT_TRUE(IsPlaying(1));
  host_.Pull(20);
  EXPECT_FALSE(IsPlaying(1));
}

TEST_F(EffectsTest, WithTheSoundSwitchedOffNothingStartsAndNothingIsMarkedLooping) {
  LoadAllEffects();
  for (int32_t off : {0, 3, 2}) {
    SoundEnabled = off;
    PlayEffect(4, 1);
    EXPECT_EQ(EffectLooping[4], 0);
  }
  EXPECT_TRUE(host_.SoundEvents("play").empty());
  EXPECT_EQ(host_.sleeps, 0);
}

TEST_F(EffectsTest, StopAllEffectsLeavesTheIntroTunePlaying) {
  LoadAllEffects();
  SoundEnabled = 1;
  PlayEffect(8, 1);
  PlayEffect(7, 1);
  PlayEffect(1, 1);
  // Switching the sound off silences new effects only.
  SoundEnabled = 0;
  StopAllEffects();
  EXPECT_TRUE(IsPlaying(8));
  EXPECT_EQ(EffectLooping[8], 1);
  EXPECT_FALSE(IsPlaying(7));
  EXPECT_FALSE(IsPlaying(1));
  EXPECT_EQ(EffectLooping[7], 0);
  EXPECT_EQ(host_.SoundEvents("stop").size(), 7u);
}

TEST_F(EffectsTest, WithoutABankEveryEffectCallDoesNothing) {
  SoundEnabled = 1;
  LoadEffects();
  PlayEffect(7, 1);
  StopAllEffects();
  ReleaseEffects();
  EXPECT_EQ(EffectChannels[7], 0);
  EXPECT_EQ(EffectLooping[7], 0);
  EXPECT_TRUE(host_.trace.empty());
  // Effect numbers outside 1 to 8 are ignored rather than read past the tables.
  PlayEffect(9, 1);
  StopEffect(-1);
}

TEST_F(EffectsTest, SetChannelVolumeReportsWhyItChangedNothing) {
  LoadAllEffects();
  EXPECT_EQ(TheSoundBank->SetChannelVolume(0, 100), 1);
  EXPECT_EQ(TheSoundBank->SetChannelVolume(0, -10001), 1);
  EXPECT_EQ(TheSoundBank->SetChannelVolume(10, 0), 3);
  EXPECT_EQ(TheSoundBank->SetChannelVolume(-1, 0), 3);
  EXPECT_EQ(TheSoundBank->SetChannelVolume(7, 0), 2);
  EXPECT_TRUE(host_.SoundEvents("volume").empty());

  EXPECT_EQ(TheSoundBank->SetChannelVolume(0, -2500), 0);
  EXPECT_EQ(TheSoundBank->SetChannelVolume(0, -10000), -2500);
  LONG volume = 0;
  TheSoundBank->channels[0]->GetVolume(&volume);
  EXPECT_EQ(volume, -10000);
  ASSERT_EQ(host_.SoundEvents("volume").size(), 2u);
  EXPECT_EQ(host_.SoundEvents("volume")[1]["volume"], "-10000");

  // The silenced channel adds nothing to the mix.
  TheSoundBank->PlayChannel(0, 1);
  for (int16_t sample : host_.Pull(200)) ASSERT_EQ(sample, 0);
}

TEST_F(EffectsTest, ChannelCallsRefuseChannelsBeyondTheBank) {
  LoadAllEffects();
  EXPECT_EQ(TheSoundBank->PlayChannel(10, 0), 0);
  EXPECT_EQ(TheSoundBank->PlayChannel(kNoChannel, 0), 0);
  EXPECT_EQ(TheSoundBank->PlayChannel(8, 0), 0);  // empty
  EXPECT_EQ(TheSoundBank->StopChannel(10), 0);
  EXPECT_EQ(TheSoundBank->StopChannel(8), 1);  // empty: nothing to stop
  EXPECT_EQ(TheSoundBank->FreeChannel(10), 0);
  EXPECT_EQ(TheSoundBank->FreeChannel(8), 1);
  platform::InjectFault("IDirectSoundBuffer::Play", DSERR_BUFFERLOST);
  EXPECT_EQ(TheSoundBank->PlayChannel(0, 0), 0);
  platform::InjectFault("IDirectSoundBuffer::Stop", DSERR_BUFFERLOST);
  EXPECT_EQ(TheSoundBank->StopChannel(0), 0);
}

}  // namespace
}  // namespace kaze::test
