// A mixer device of the test's own, the one a host of the test offers,
// with speakers that hold a wave source and the synthesizer, each with its
// own volume control.
//
//   class MyTest : public MixerDeviceTest {};
//   TEST_F(MyTest, ...) {
//     mixer_.values[kSynthVolume] ...  mixer_.TotalAccesses() ...
//   }
#pragma once

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/setup/faults.h"
#include "host/mixer_device.h"
#include "host/null_host.h"
#include "platform/setup/settings.h"

namespace kaze::test {

constexpr DWORD kSynthVolume = 10;

// A mixer whose controls hold plain values and count what is done to them.
// Like ALSA's simple mixer, a connection reads the values once, when it is
// opened, answers reads from that copy and skips a write of the value it
// holds: a connection kept open would neither see nor undo a change that
// another program makes.
class FakeMixer final : public host::MixerDevice {
 public:
  std::vector<host::MixerLineInfo> destinations;
  std::map<DWORD, std::vector<DWORD>> values;  // by control id: the device's own
  std::map<DWORD, int> reads, writes;          // calls, by control id
  std::vector<DWORD> lastWrite;

  std::unique_ptr<host::MixerBackend> Open() override { return std::make_unique<Connection>(*this); }

  int TotalAccesses() const {
    int total = 0;
    for (const auto& [id, count] : reads) total += count;
    for (const auto& [id, count] : writes) total += count;
    return total;
  }

 private:
  class Connection final : public host::MixerBackend {
   public:
    explicit Connection(FakeMixer& device) : device_(device), cache_(device.values) {}
    std::string Name() const override { return "fake"; }
    const std::vector<host::MixerLineInfo>& Destinations() const override { return device_.destinations; }

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

inline host::MixerControlInfo Volume(DWORD id, DWORD flags = 0) {
  host::MixerControlInfo control;
  control.id = id;
  control.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
  control.flags = flags;
  return control;
}

inline host::MixerLineInfo Line(DWORD id, DWORD type, DWORD channels, std::vector<host::MixerControlInfo> controls) {
  host::MixerLineInfo line;
  line.id = id;
  line.componentType = type;
  line.channels = channels;
  line.controls = std::move(controls);
  return line;
}

// A machine whose mixer is the one the test gives it, or none.
class MixerHost final : public host::NullHost {
 public:
  host::MixerDevice* Mixer() override { return device; }
  host::MixerDevice* device = nullptr;
};

class MixerDeviceTest : public ::testing::Test {
 protected:
  // Speakers with a wave source (with its own volume) and the synthesizer.
  void SetUp() override {
    host::MixerLineInfo speakers = Line(0, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, {Volume(1)});
    speakers.sources.push_back(Line(0x10000, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2, {Volume(2)}));
    speakers.sources.push_back(Line(0x10001, MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 2, {Volume(kSynthVolume)}));
    mixer_.destinations = {speakers};
    mixer_.values = {{1, {0x1111, 0x1111}}, {2, {0x2222, 0x2222}}, {kSynthVolume, {0x8000, 0x4000}}};
    host_.device = &mixer_;
    host::SetHost(&host_);
  }

  void TearDown() override {
    host::SetHost(nullptr);
    platform::TheSettings() = platform::Settings{};
    platform::ClearFaults();
  }

  FakeMixer mixer_;
  MixerHost host_;
};

}  // namespace kaze::test
