// An audio mixer as the host offers it (Host::Mixer): one device as a tree
// of lines (destinations, each with its source lines) and their controls.
// The platform's winmm mixer calls show it to the program. Each Open is a
// fresh connection to the device and its end closes it, so nothing read
// through one connection (a cache, as ALSA's simple mixer keeps) outlives
// it. Kinds of line and control carry winmm's own numbers, which is what
// the program asks for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kaze::host {

// The kinds the host's mixers are built of, numbered as winmm numbers them
// (the platform checks that they agree with its mmsystem.h).
constexpr uint32_t kMixerLineSpeakers = 0x00000004;     // MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
constexpr uint32_t kMixerLineSynthesizer = 0x00001004;  // MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER
constexpr uint32_t kMixerControlVolume = 0x50030001;    // MIXERCONTROL_CONTROLTYPE_VOLUME

struct MixerControlInfo {
  uint32_t id = 0;
  uint32_t type = 0;           // MIXERCONTROL_CONTROLTYPE_*
  uint32_t flags = 0;          // MIXERCONTROL_CONTROLF_*
  uint32_t multipleItems = 0;  // items of a MULTIPLE control, else 0
  uint32_t minimum = 0;
  uint32_t maximum = 65535;
  uint32_t steps = 0;
  std::string name;
};

struct MixerLineInfo {
  uint32_t id = 0;
  uint32_t componentType = 0;  // MIXERLINE_COMPONENTTYPE_*
  uint32_t channels = 1;
  std::string name;
  std::vector<MixerControlInfo> controls;
  std::vector<MixerLineInfo> sources;  // a destination's source lines
};

// One connection to a mixer device.
class MixerBackend {
 public:
  virtual ~MixerBackend() = default;
  virtual std::string Name() const = 0;
  virtual const std::vector<MixerLineInfo>& Destinations() const = 0;
  // Reads or writes `channels` x `items` values of a control on its own
  // scale; with one channel for a control of a line with more, the first
  // channel is read and every channel written. False when the device
  // refuses.
  virtual bool ReadValues(uint32_t controlId, uint32_t channels, uint32_t items, std::vector<uint32_t>& values) = 0;
  virtual bool WriteValues(uint32_t controlId, uint32_t channels, uint32_t items,
                           const std::vector<uint32_t>& values) = 0;
};

// A mixer device that can be connected to any number of times.
class MixerDevice {
 public:
  virtual ~MixerDevice() = default;
  // A fresh connection that sees the device as it is now; null when the
  // device refuses.
  virtual std::unique_ptr<MixerBackend> Open() = 0;
};

}  // namespace kaze::host
