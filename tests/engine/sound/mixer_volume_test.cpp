// Keeping the synthesizer volume as found at start and putting it back at
// the end, against a mixer of the test's own.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <vector>

#include "platform/setup/faults.h"
#include "platform/setup/settings.h"
#include "sound/mixer_volume.h"
#include "support/fake_mixer.h"

namespace kaze::test {
namespace {

class MixerVolumeTest : public MixerDeviceTest {
 protected:
  void SetUp() override {
    MixerDeviceTest::SetUp();
    SavedSynthVolume = 0x77777777;
  }

  void TearDown() override {
    MixerDeviceTest::TearDown();
    SavedSynthVolume = 0x77777777;
  }

  std::vector<host::MixerControlInfo>& SynthControls() { return mixer_.destinations[0].sources[1].controls; }
};

// Another program changes the volume while the program runs: the restore
// undoes it, however the device caches what it reads.
TEST_F(MixerVolumeTest, AStereoSynthesizerIsPutBackAtTheFirstChannelsVolume) {
  SaveSynthVolume();
  EXPECT_EQ(SavedSynthVolume, 0x80008000u);
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x8000, 0x4000}));  // saving writes back what it read
  mixer_.values[kSynthVolume] = {0x1000, 0x2000};                                // another program
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x8000, 0x8000}));
  // No other line was touched.
  EXPECT_EQ(mixer_.values[1], (std::vector<DWORD>{0x1111, 0x1111}));
  EXPECT_EQ(mixer_.values[2], (std::vector<DWORD>{0x2222, 0x2222}));
}

TEST_F(MixerVolumeTest, WithoutAMixerDeviceNothingIsReadOrWritten) {
  host_.device = nullptr;  // a machine without a mixer
  EXPECT_EQ(mixerGetNumDevs(), 0u);
  SaveSynthVolume();
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.TotalAccesses(), 0);
  EXPECT_EQ(SavedSynthVolume, 0x77777777u);
}

TEST_F(MixerVolumeTest, WithoutASynthesizerLineNoOtherLineIsTouched) {
  mixer_.destinations[0].sources.pop_back();
  SaveSynthVolume();
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.TotalAccesses(), 0);
  EXPECT_EQ(SavedSynthVolume, 0x77777777u);
}

TEST_F(MixerVolumeTest, AMonoOrUniformControlReadsAndWritesOneValue) {
  for (bool uniform : {false, true}) {
    host::MixerLineInfo& synth = mixer_.destinations[0].sources[1];
    synth.channels = uniform ? 2 : 1;
    synth.controls = {Volume(kSynthVolume, uniform ? MIXERCONTROL_CONTROLF_UNIFORM : 0)};
    mixer_.values[kSynthVolume] = {0x3000, 0x3000};
    SaveSynthVolume();
    EXPECT_EQ(SavedSynthVolume, 0x30003000u);
    SavedSynthVolume = 0x12345678;
    RestoreSynthVolume();
    EXPECT_EQ(mixer_.lastWrite, std::vector<DWORD>{0x5678}) << uniform;
  }
}

TEST_F(MixerVolumeTest, ANothingFoundAtStartRestoresTheDefaultVolume) {
  SynthControls()[0].flags = MIXERCONTROL_CONTROLF_DISABLED;
  SaveSynthVolume();
  EXPECT_EQ(SavedSynthVolume, 0x77777777u);
  SynthControls()[0].flags = 0;
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x7777, 0x7777}));
}

TEST_F(MixerVolumeTest, ADisabledVolumeControlEndsTheWalk) {
  SynthControls() = {Volume(kSynthVolume, MIXERCONTROL_CONTROLF_DISABLED), Volume(11)};
  mixer_.values[11] = {0x5000, 0x5000};
  SaveSynthVolume();
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.TotalAccesses(), 0);
}

TEST_F(MixerVolumeTest, EveryVolumeControlIsTreatedAndTheLastDecidesTheKeptValue) {
  host::MixerControlInfo mute;
  mute.id = 12;
  mute.type = MIXERCONTROL_CONTROLTYPE_MUTE;
  SynthControls() = {Volume(kSynthVolume), mute, Volume(11)};
  mixer_.values[11] = {0x5000, 0x6000};
  SaveSynthVolume();
  EXPECT_EQ(SavedSynthVolume, 0x50005000u);
  EXPECT_EQ(mixer_.reads[12], 0);
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x5000, 0x5000}));
  EXPECT_EQ(mixer_.values[11], (std::vector<DWORD>{0x5000, 0x5000}));
}

TEST_F(MixerVolumeTest, AFailingMixerCallEndsTheWorkSilently) {
  for (const char* call :
       {"mixerOpen", "mixerGetID", "mixerGetLineInfo", "mixerGetLineControls", "mixerGetControlDetails"}) {
    platform::InjectFault(call, MMSYSERR_ERROR);
    SaveSynthVolume();
    RestoreSynthVolume();
    platform::ClearFaults();
    EXPECT_EQ(mixer_.TotalAccesses(), 0) << call;
    EXPECT_EQ(SavedSynthVolume, 0x77777777u) << call;
  }
  // A refused write still keeps what was read.
  platform::InjectFault("mixerSetControlDetails", MMSYSERR_ERROR);
  SaveSynthVolume();
  EXPECT_EQ(SavedSynthVolume, 0x80008000u);
}

}  // namespace
}  // namespace kaze::test
