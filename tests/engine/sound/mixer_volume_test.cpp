// Keeping the synthesizer volume as found at start and putting it back at
// the end, against a mixer of the test's own.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <map>
#include <memory>

#include "platform/machine/faults.h"
#include "platform/machine/settings.h"
#include "platform/winmm/winmm_mixer_backend.h"
#include "sound/mixer_volume.h"

namespace kaze::test {
namespace {

using platform::MixerControlInfo;
using platform::MixerLineInfo;

constexpr DWORD kSynthVolume = 10;

// A mixer whose controls hold plain values and count what is done to them.
// Like ALSA's simple mixer, a connection reads the values once, when it is
// opened, answers reads from that copy and skips a write of the value it
// holds: a connection kept open would neither see nor undo a change that
// another program makes.
class FakeMixer final : public platform::MixerDevice {
 public:
  std::vector<MixerLineInfo> destinations;
  std::map<DWORD, std::vector<DWORD>> values;  // by control id: the device's own
  std::map<DWORD, int> reads, writes;          // calls, by control id
  std::vector<DWORD> lastWrite;

  std::unique_ptr<platform::MixerBackend> Open() override { return std::make_unique<Connection>(*this); }

  int TotalAccesses() const {
    int total = 0;
    for (const auto& [id, count] : reads) total += count;
    for (const auto& [id, count] : writes) total += count;
    return total;
  }

 private:
  class Connection final : public platform::MixerBackend {
   public:
    explicit Connection(FakeMixer& device) : device_(device), cache_(device.values) {}
    std::string Name() const override { return "fake"; }
    const std::vector<MixerLineInfo>& Destinations() const override { return device_.destinations; }

    bool ReadValues(DWORD id, DWORD channels, DWORD items, std::vector<DWORD>& out) override {
      ++device_.reads[id];
      for (size_t i = 0; i < out.size() && i < cache_[id].size(); ++i) out[i] = cache_[id][i];
      return true;
    }

    bool WriteValues(DWORD id, DWORD channels, DWORD items, const std::vector<DWORD>& in) override {
      ++device_.writes[id];
      device_.lastWrite = in;
      std::vector<DWORD>& cached = cache_[id];
      for (size_t i = 0; i < cached.size(); ++i) {
        const DWORD value = channels == 1 && items == 1 ? in[0] : i < in.size() ? in[i] : cached[i];
        if (cached[i] == value) continue;  // unchanged as far as this connection knows
        cached[i] = value;
        device_.values[id][i] = value;
      }
      return true;
    }

   private:
    FakeMixer& device_;
    std::map<DWORD, std::vector<DWORD>> cache_;
  };
};

MixerControlInfo Volume(DWORD id, DWORD flags = 0) {
  MixerControlInfo control;
  control.id = id;
  control.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
  control.flags = flags;
  return control;
}

MixerLineInfo Line(DWORD id, DWORD type, DWORD channels, std::vector<MixerControlInfo> controls) {
  MixerLineInfo line;
  line.id = id;
  line.componentType = type;
  line.channels = channels;
  line.controls = std::move(controls);
  return line;
}

class MixerVolumeTest : public ::testing::Test {
 protected:
  // Speakers with a wave source (with its own volume) and the synthesizer.
  void SetUp() override {
    MixerLineInfo speakers = Line(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, {Volume(1)});
    speakers.sources.push_back(Line(0x10000, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, {Volume(2)}));
    speakers.sources.push_back(Line(0x10001, MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 2, {Volume(kSynthVolume)}));
    mixer_.destinations = {speakers};
    mixer_.values = {{1, {0x1111, 0x1111}}, {2, {0x2222, 0x2222}}, {kSynthVolume, {0x8000, 0x4000}}};
    platform::SetMixerDevice(&mixer_);
    SavedSynthVolume = 0x77777777;
  }

  void TearDown() override {
    platform::SetMixerDevice(nullptr);
    platform::TheSettings() = platform::Settings{};
    platform::ClearFaults();
    SavedSynthVolume = 0x77777777;
  }

  std::vector<MixerControlInfo>& SynthControls() { return mixer_.destinations[0].sources[1].controls; }

  FakeMixer mixer_;
};

// Another program changes the volume while the program runs: the restore
// undoes it, however the device caches what it reads.
TEST_F(MixerVolumeTest, AStereoSynthesizerIsPutBackAtTheFirstChannelsVolume) {
  SaveSynthVolume();
  EXPECT_EQ(SavedSynthVolume, 0x80008000u);
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x8000, 0x4000}));  // saving writes back what it read
  mixer_.values[kSynthVolume] = {0x1000, 0x2000};  // another program
  RestoreSynthVolume();
  EXPECT_EQ(mixer_.values[kSynthVolume], (std::vector<DWORD>{0x8000, 0x8000}));
  // No other line was touched.
  EXPECT_EQ(mixer_.values[1], (std::vector<DWORD>{0x1111, 0x1111}));
  EXPECT_EQ(mixer_.values[2], (std::vector<DWORD>{0x2222, 0x2222}));
}

TEST_F(MixerVolumeTest, WithoutAMixerDeviceNothingIsReadOrWritten) {
  platform::TheSettings().mixer = platform::MixerChoice::None;
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
    MixerLineInfo& synth = mixer_.destinations[0].sources[1];
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
  MixerControlInfo mute;
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
  for (const char* call : {"mixerOpen", "mixerGetID", "mixerGetLineInfo", "mixerGetLineControls",
                           "mixerGetControlDetails"}) {
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

TEST_F(MixerVolumeTest, TheMixerCallsRefuseRecordsTooSmallForThem) {
  HMIXER mixer = nullptr;
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  auto object = reinterpret_cast<HMIXEROBJ>(mixer);
  MIXERLINE line{};
  line.cbStruct = sizeof(line) - 4;
  EXPECT_EQ(mixerGetLineInfo(object, &line, MIXER_GETLINEINFOF_DESTINATION), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  line.cbStruct = sizeof(line);
  line.dwDestination = 1;
  EXPECT_EQ(mixerGetLineInfo(object, &line, MIXER_GETLINEINFOF_DESTINATION), static_cast<MMRESULT>(MIXERR_INVALLINE));

  // Asking for fewer controls than the line has would overrun the array.
  MIXERCONTROL control{};
  MIXERLINECONTROLS request{sizeof(request), 0x10001, {0}, 0, sizeof(MIXERCONTROL), &control};
  EXPECT_EQ(mixerGetLineControls(object, &request, MIXER_GETLINECONTROLSF_ALL), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));

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
