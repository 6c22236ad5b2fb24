// Loading WAV files into the bank's channels, and every way a file can fail.
#include <dsound.h>

#include "platform/dsound/dsound_objects.h"
#include "support/sound_fixture.h"

namespace kaze::test {
namespace {

class LoadWaveTest : public SoundTest {
 protected:
  // Loads `bytes` as a sound and expects it to fail with exactly `message`.
  void ExpectLoadFails(const Bytes& bytes, const std::string& message) {
    host_.debugMessages.clear();
    EXPECT_EQ(LoadSound("bad", bytes), kNoChannel);
    EXPECT_EQ(host_.debugMessages, std::vector<std::string>{message});
  }
};

// Every file the tests build has a 16-byte format chunk, two bytes short of
// the structure LoadWave reads.
TEST_F(LoadWaveTest, ReadsAWavFileIntoTheLowestFreeChannelWhateverTheCaseOfItsFolder) {
  CreateBank();
  Bytes samples(1000, 0x90);
  EXPECT_EQ(LoadSound("first", PcmWav(1, 22050, 8, samples)), 0);
  EXPECT_EQ(LoadSound("second", PcmWav(2, 44100, 16, Bytes(400, 1))), 1);
  ASSERT_NE(TheSoundBank->sampleCopies[0], nullptr);
  EXPECT_EQ(TheSoundBank->sampleSizes[0], 1000u);
  EXPECT_EQ(Bytes(TheSoundBank->sampleCopies[0], TheSoundBank->sampleCopies[0] + 1000), samples);
  EXPECT_TRUE(host_.debugMessages.empty());
  // The primary buffer now has the format of the last file.
  WAVEFORMATEX primary = platform::StateOf(TheSoundBank->primaryBuffer).format;  // packed: copied, not referenced
  EXPECT_EQ(uint32_t{primary.nSamplesPerSec}, 44100u);
  EXPECT_EQ(int{primary.wBitsPerSample}, 16);
}

TEST_F(LoadWaveTest, AMissingFileFailsWithoutAMessage) {
  CreateBank();
  EXPECT_EQ(TheSoundBank->LoadWave("nothere"), kNoChannel);
  EXPECT_TRUE(host_.debugMessages.empty());
  EXPECT_EQ(TheSoundBank->FindFreeChannel(), 0);
}

TEST_F(LoadWaveTest, EveryBrokenFileGivesItsMessageAndNoChannel) {
  CreateBank();
  Bytes format = FormatBody(1, 1, 22050, 8);
  Bytes data = Chunk("data", Bytes(100, 0x80));
  ExpectLoadFails(Bytes(64, 'x'), "ＷＡＶＥファイルではない");
  ExpectLoadFails(Riff("AVI ", {Chunk("fmt ", format), data}), "ＷＡＶＥファイルではない");
  ExpectLoadFails(Riff("WAVE", {}), "ＷＡＶＥファイルにｆｍｔチャンクがない");
  // A format chunk cut short by the end of the file.
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", Bytes(format.begin(), format.begin() + 10))}),
                  "ｆｍｔチャンクを読み取ることができない");
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", FormatBody(2, 1, 22050, 4)), data}),
                  "ＷＡＶＥファイルはＰＣＭフォーマットではない");
  // A LIST chunk before the format chunk is read as the format.
  ExpectLoadFails(Riff("WAVE", {Chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 2, 0, 0, 0, 'x', 0}),
                                Chunk("fmt ", format), data}),
                  "ＷＡＶＥファイルはＰＣＭフォーマットではない");
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", format), Chunk("junk", Bytes(8, 0))}),
                  "ＷＡＶＥファイルにｄａｔａチャンクがない");
  // A format chunk that claims more than the file holds cannot be left.
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", format, 5000), data}), "アセンドできない");
  // A data chunk that claims more than the file holds: read up to the end
  // of the file only, and refused as short.
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", format), Chunk("data", Bytes(100, 0x80), 100000)}),
                  "ｄａｔａチャンクを読み取ることができない");
  // A claim beyond any sound buffer is refused before allocating it.
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", format), Chunk("data", Bytes(100, 0x80), 0xFFFFFFF0)}),
                  "サウンドメモリが確保できない");
  // PCM that no sound buffer plays.
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", FormatBody(1, 3, 22050, 8)), data}), "セカンダリバッファを作成できない");
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", FormatBody(1, 1, 0, 16)), data}), "セカンダリバッファを作成できない");
  ExpectLoadFails(Riff("WAVE", {Chunk("fmt ", format), Chunk("data", {})}), "セカンダリバッファを作成できない");

  // None of them took a channel or kept a sample copy.
  EXPECT_EQ(TheSoundBank->FindFreeChannel(), 0);
  for (int channel = 0; channel < kChannelCount; ++channel) EXPECT_EQ(TheSoundBank->sampleCopies[channel], nullptr);
}

TEST_F(LoadWaveTest, AnEleventhSoundFindsNoFreeChannel) {
  CreateBank();
  for (uint16_t channel = 0; channel < kChannelCount; ++channel) {
    EXPECT_EQ(LoadSound(std::to_string(channel), SmallWav()), channel);
  }
  ExpectLoadFails(SmallWav(), "使用できるチャンネルが存在しない");
  // A freed channel is the next one taken.
  EXPECT_EQ(TheSoundBank->FreeChannel(4), 1);
  EXPECT_EQ(TheSoundBank->sampleCopies[4], nullptr);
  EXPECT_EQ(LoadSound("again", SmallWav()), 4);
}

TEST_F(LoadWaveTest, ALostBufferIsRestoredOnceAndAFailedFillKeepsTheChannelInUse) {
  CreateBank();
  platform::InjectFault("IDirectSoundBuffer::Lock", DSERR_BUFFERLOST, 1);
  EXPECT_EQ(LoadSound("restored", SmallWav()), 0);
  EXPECT_TRUE(host_.debugMessages.empty());

  platform::ClearFaults();
  platform::InjectFault("IDirectSoundBuffer::Lock", DSERR_BUFFERLOST);
  ExpectLoadFails(SmallWav(), "セカンダリバッファを復元できない");
  EXPECT_NE(TheSoundBank->channels[1], nullptr);
  EXPECT_EQ(TheSoundBank->sampleCopies[1], nullptr);

  platform::ClearFaults();
  platform::InjectFault("IDirectSoundBuffer::Lock", DSERR_INVALIDCALL);
  ExpectLoadFails(SmallWav(), "セカンダリバッファをロックできない");

  platform::ClearFaults();
  platform::InjectFault("IDirectSoundBuffer::Unlock", DSERR_INVALIDCALL);
  ExpectLoadFails(SmallWav(), "セカンダリバッファのロック解除ができない");
  EXPECT_EQ(TheSoundBank->FindFreeChannel(), 4);
}

TEST_F(LoadWaveTest, TheBankIsMissingWithoutASoundDevice) {
  platform::TheSettings().noAudioDevice = true;
  EXPECT_EQ(CreateSoundBank(nullptr), 0);
  EXPECT_EQ(TheSoundBank, nullptr);
  EXPECT_EQ(host_.audio, nullptr);

  platform::TheSettings().noAudioDevice = false;
  host_.audioRate = 0;  // the host has no output
  EXPECT_EQ(CreateSoundBank(nullptr), 0);
  EXPECT_EQ(TheSoundBank, nullptr);
}

TEST_F(LoadWaveTest, AFailedSetUpReleasesWhatItMade) {
  platform::InjectFault("IDirectSound::CreateSoundBuffer", DSERR_OUTOFMEMORY);
  EXPECT_EQ(CreateSoundBank(nullptr), 0);
  EXPECT_EQ(TheSoundBank, nullptr);
  EXPECT_EQ(host_.closeAudioCalls, 1);
  // The device is free again for a later attempt.
  platform::ClearFaults();
  EXPECT_EQ(CreateSoundBank(nullptr), 1);
}

}  // namespace
}  // namespace kaze::test
