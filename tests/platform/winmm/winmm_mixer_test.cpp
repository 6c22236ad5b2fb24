// The mixer calls' checks of the records they are given, against a mixer
// of the test's own.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include "support/fake_mixer.h"

namespace kaze::test {
namespace {

class MixerVolumeTest : public MixerDeviceTest {};

TEST_F(MixerVolumeTest, TheMixerCallsRefuseRecordsTooSmallForThem) {
  HMIXER mixer = nullptr;
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  auto object = reinterpret_cast<HMIXEROBJ>(mixer);
  MIXERLINE line{};
  line.cbStruct = sizeof(line) - 4;
  EXPECT_EQ(mixerGetLineInfo(object, &line, MIXER_GETLINEINFOF_DESTINATION),
            static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  line.cbStruct = sizeof(line);
  line.dwDestination = 1;
  EXPECT_EQ(mixerGetLineInfo(object, &line, MIXER_GETLINEINFOF_DESTINATION), static_cast<MMRESULT>(MIXERR_INVALLINE));

  // Asking for fewer controls than the line has would overrun the array.
  MIXERCONTROL control{};
  MIXERLINECONTROLS request{sizeof(request), 0x10001, {0}, 0, sizeof(MIXERCONTROL), &control};
  EXPECT_EQ(mixerGetLineControls(object, &request, MIXER_GETLINECONTROLSF_ALL),
            static_cast<MMRESULT>(MMSYSERR_INVALPARAM));

  // More channels than the line has would overrun the values.
  MIXERCONTROLDETAILS_UNSIGNED values[2] = {};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof(details);
  details.dwControlID = kSynthVolume;
  details.cChannels = 3;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values;
  EXPECT_EQ(mixerGetControlDetails(object, &details, 0), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  details.cChannels = 2;
  EXPECT_EQ(mixerGetControlDetails(object, &details, 0), static_cast<MMRESULT>(MMSYSERR_NOERROR));
  EXPECT_EQ(values[1].dwValue, 0x4000u);
  EXPECT_EQ(mixerClose(mixer), static_cast<MMRESULT>(MMSYSERR_NOERROR));
  EXPECT_EQ(mixerClose(mixer), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
}

}  // namespace
}  // namespace kaze::test
