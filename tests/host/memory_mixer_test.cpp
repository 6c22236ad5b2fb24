// The headless machine's audio mixer: the one its options name, and the one
// held in memory, which keeps a volume between connections (the program
// reads it through one at start and writes it back through another at the
// end) and shows every step in the trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/mixer_device.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class HostMixer : public HeadlessTest {};

TEST_F(HostMixer, WithoutAMixerTheHostOffersNone) {
  host::HeadlessOptions options;
  options.mixer = host::HeadlessMixer::None;
  StartHost(options);
  EXPECT_EQ(host().Mixer(), nullptr);
}

TEST_F(HostMixer, TheMemoryMixerKeepsAVolumeForTheNextConnectionAndTracesEachStep) {
  StartHost();
  host::MixerDevice* mixer = host().Mixer();
  ASSERT_NE(mixer, nullptr);
  EXPECT_EQ(host().Mixer(), mixer);  // one device for the whole run
  uint32_t volumeId = 0;
  {
    auto first = mixer->Open();
    ASSERT_TRUE(first);
    ASSERT_EQ(first->Destinations().size(), 1u);
    const host::MixerLineInfo& speakers = first->Destinations()[0];
    EXPECT_EQ(speakers.componentType, host::kMixerLineSpeakers);
    ASSERT_EQ(speakers.sources.size(), 1u);
    const host::MixerLineInfo& synth = speakers.sources[0];
    EXPECT_EQ(synth.componentType, host::kMixerLineSynthesizer);
    ASSERT_EQ(synth.controls.size(), 1u);
    EXPECT_EQ(synth.controls[0].type, host::kMixerControlVolume);
    volumeId = synth.controls[0].id;
    EXPECT_FALSE(first->WriteValues(volumeId + 1, 1, 1, {0}));  // no such control
    EXPECT_TRUE(first->WriteValues(volumeId, 1, 1, {0x1234}));  // one channel: both
    EXPECT_TRUE(first->WriteValues(volumeId, 2, 1, {0x2000, 0x3000}));
  }
  auto second = mixer->Open();
  std::vector<uint32_t> values(2);
  EXPECT_TRUE(second->ReadValues(volumeId, 2, 1, values));
  EXPECT_EQ(values, (std::vector<uint32_t>{0x2000, 0x3000}));
  second.reset();

  std::vector<std::string> steps;
  for (const TraceLine& line : TraceOf("mixer")) {
    steps.push_back(
        line.Str("op") +
        (line.Has("left") ? " " + std::to_string(line.Int("left")) + "/" + std::to_string(line.Int("right")) : ""));
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"open", "write 4660/4660", "write 8192/12288", "close", "open",
                                             "read 8192/12288", "close"}));
}

}  // namespace
}  // namespace kaze::test
