#include "host/memory_mixer.h"

#include <array>
#include <mutex>

namespace kaze::host {

namespace {

constexpr uint32_t kSynthVolumeId = 1;

struct MemoryState {
  explicit MemoryState(Host& host) : traceTo(host) {}
  Host& traceTo;
  std::mutex mutex;
  std::array<uint32_t, 2> volume{0x8000, 0x8000};  // left, right
  std::vector<MixerLineInfo> destinations;
};

void TraceMixer(Host& host, std::string_view op, const std::array<uint32_t, 2>* volume = nullptr) {
  if (volume == nullptr) {
    host.Trace("mixer", {{"op", op}});
    return;
  }
  host.Trace("mixer", {{"op", op}, {"left", int64_t{(*volume)[0]}}, {"right", int64_t{(*volume)[1]}}});
}

class MemoryConnection final : public MixerBackend {
 public:
  explicit MemoryConnection(MemoryState& state) : state_(state) { TraceMixer(state_.traceTo, "open"); }
  ~MemoryConnection() override { TraceMixer(state_.traceTo, "close"); }

  // The name the program has always been shown for this mixer.
  std::string Name() const override { return "stand-in mixer"; }
  const std::vector<MixerLineInfo>& Destinations() const override { return state_.destinations; }

  bool ReadValues(uint32_t controlId, uint32_t channels, uint32_t items, std::vector<uint32_t>& values) override {
    if (controlId != kSynthVolumeId || items != 1) return false;
    std::lock_guard lock(state_.mutex);
    for (size_t i = 0; i < values.size() && i < channels && i < 2; ++i) values[i] = state_.volume[i];
    TraceMixer(state_.traceTo, "read", &state_.volume);
    return true;
  }

  bool WriteValues(uint32_t controlId, uint32_t channels, uint32_t items,
                   const std::vector<uint32_t>& values) override {
    if (controlId != kSynthVolumeId || items != 1 || values.empty()) return false;
    std::lock_guard lock(state_.mutex);
    if (channels == 1) {
      state_.volume.fill(values[0]);
    } else {
      for (size_t i = 0; i < values.size() && i < 2; ++i) state_.volume[i] = values[i];
    }
    TraceMixer(state_.traceTo, "write", &state_.volume);
    return true;
  }

 private:
  MemoryState& state_;
};

class MemoryDevice final : public MixerDevice {
 public:
  explicit MemoryDevice(Host& traceTo) : state_(traceTo) {
    MixerControlInfo volume;
    volume.id = kSynthVolumeId;
    volume.type = kMixerControlVolume;
    volume.name = "Synth Volume";
    volume.steps = 65536;
    MixerLineInfo synth;
    synth.id = 0x10000;
    synth.componentType = kMixerLineSynthesizer;
    synth.channels = 2;
    synth.name = "Synth";
    synth.controls.push_back(volume);
    MixerLineInfo speakers;
    speakers.id = 0;
    speakers.componentType = kMixerLineSpeakers;
    speakers.channels = 2;
    speakers.name = "Master";
    speakers.sources.push_back(synth);
    state_.destinations.push_back(speakers);
  }

  std::unique_ptr<MixerBackend> Open() override { return std::make_unique<MemoryConnection>(state_); }

 private:
  MemoryState state_;
};

}  // namespace

std::unique_ptr<MixerDevice> CreateMemoryMixerDevice(Host& traceTo) { return std::make_unique<MemoryDevice>(traceTo); }

}  // namespace kaze::host
