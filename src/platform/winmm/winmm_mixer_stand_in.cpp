// The mixer of a machine without devices: one stereo synthesizer line held
// in memory, so that the program's mixer work runs in full and can be seen
// in the trace, while nothing of the real machine changes.
#include <mmsystem.h>

#include <array>
#include <mutex>

#include "host/host.h"
#include "platform/winmm/winmm_mixer_backend.h"

namespace kaze::platform {

namespace {

constexpr DWORD kSynthVolumeId = 1;

struct StandInState {
  std::mutex mutex;
  std::array<DWORD, 2> volume{0x8000, 0x8000};  // left, right
  std::vector<MixerLineInfo> destinations;
};

void TraceMixer(std::string_view op, const std::array<DWORD, 2>* volume = nullptr) {
  if (volume == nullptr) {
    host::TheHost().Trace("mixer", {{"op", op}});
    return;
  }
  host::TheHost().Trace("mixer", {{"op", op}, {"left", int64_t{(*volume)[0]}}, {"right", int64_t{(*volume)[1]}}});
}

class StandInConnection final : public MixerBackend {
 public:
  explicit StandInConnection(StandInState& state) : state_(state) { TraceMixer("open"); }
  ~StandInConnection() override { TraceMixer("close"); }

  std::string Name() const override { return "stand-in mixer"; }
  const std::vector<MixerLineInfo>& Destinations() const override { return state_.destinations; }

  bool ReadValues(DWORD controlId, DWORD channels, DWORD items, std::vector<DWORD>& values) override {
    if (controlId != kSynthVolumeId || items != 1) return false;
    std::lock_guard lock(state_.mutex);
    for (size_t i = 0; i < values.size() && i < channels && i < 2; ++i) values[i] = state_.volume[i];
    TraceMixer("read", &state_.volume);
    return true;
  }

  bool WriteValues(DWORD controlId, DWORD channels, DWORD items, const std::vector<DWORD>& values) override {
    if (controlId != kSynthVolumeId || items != 1 || values.empty()) return false;
    std::lock_guard lock(state_.mutex);
    if (channels == 1) {
      state_.volume.fill(values[0]);
    } else {
      for (size_t i = 0; i < values.size() && i < 2; ++i) state_.volume[i] = values[i];
    }
    TraceMixer("write", &state_.volume);
    return true;
  }

 private:
  StandInState& state_;
};

class StandInDevice final : public MixerDevice {
 public:
  StandInDevice() {
    MixerControlInfo volume;
    volume.id = kSynthVolumeId;
    volume.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
    volume.name = "Synth Volume";
    volume.steps = 65536;
    MixerLineInfo synth;
    synth.id = 0x10000;
    synth.componentType = MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
    synth.channels = 2;
    synth.name = "Synth";
    synth.controls.push_back(volume);
    MixerLineInfo speakers;
    speakers.id = 0;
    speakers.componentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    speakers.channels = 2;
    speakers.name = "Master";
    speakers.sources.push_back(synth);
    state_.destinations.push_back(speakers);
  }

  std::unique_ptr<MixerBackend> Open() override { return std::make_unique<StandInConnection>(state_); }

 private:
  StandInState state_;
};

}  // namespace

std::unique_ptr<MixerDevice> CreateStandInMixerDevice() { return std::make_unique<StandInDevice>(); }

}  // namespace kaze::platform
