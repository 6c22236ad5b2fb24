// What the winmm mixer calls show: one mixer device as a tree of lines
// (destinations, each with its source lines) and their controls, behind a
// small interface. Each mixerOpen is a fresh connection to the device and
// mixerClose ends it, so nothing read through one connection (a cache, as
// ALSA's simple mixer keeps) outlives it. The device is ALSA's first sound
// card, an in-memory stand-in, or one that a test installs.
#pragma once

#include <windef.h>

#include <memory>
#include <string>
#include <vector>

namespace kaze::platform {

struct MixerControlInfo {
  DWORD id = 0;
  DWORD type = 0;           // MIXERCONTROL_CONTROLTYPE_*
  DWORD flags = 0;          // MIXERCONTROL_CONTROLF_*
  DWORD multipleItems = 0;  // items of a MULTIPLE control, else 0
  DWORD minimum = 0;
  DWORD maximum = 65535;
  DWORD steps = 0;
  std::string name;
};

struct MixerLineInfo {
  DWORD id = 0;
  DWORD componentType = 0;  // MIXERLINE_COMPONENTTYPE_*
  DWORD channels = 1;
  std::string name;
  std::vector<MixerControlInfo> controls;
  std::vector<MixerLineInfo> sources;  // a destination's source lines
};

class MixerBackend {
 public:
  virtual ~MixerBackend() = default;
  virtual std::string Name() const = 0;
  virtual const std::vector<MixerLineInfo>& Destinations() const = 0;
  // Reads or writes `channels` x `items` values of a control on its own
  // scale; with one channel for a control of a line with more, the first
  // channel is read and every channel written. False when the device
  // refuses.
  virtual bool ReadValues(DWORD controlId, DWORD channels, DWORD items, std::vector<DWORD>& values) = 0;
  virtual bool WriteValues(DWORD controlId, DWORD channels, DWORD items, const std::vector<DWORD>& values) = 0;
};

// A mixer device that can be connected to any number of times.
class MixerDevice {
 public:
  virtual ~MixerDevice() = default;
  // A fresh connection that sees the device as it is now; null when the
  // device refuses.
  virtual std::unique_ptr<MixerBackend> Open() = 0;
};

// The device that mixer 0 is: none when the settings say so, else the one
// set here (not owned; null goes back to the settings' choice), else the
// in-memory stand-in or the machine's first sound card.
void SetMixerDevice(MixerDevice* device);
MixerDevice* TheMixerDevice();

// The first sound card's mixer through ALSA: null without a card (or
// without ALSA in this build).
std::unique_ptr<MixerDevice> CreateAlsaMixerDevice();

// A mixer that lives in memory: speakers with a stereo synthesizer source
// whose one volume control starts at half scale. Every connection, read and
// write shows in the host's trace ("mixer" lines).
std::unique_ptr<MixerDevice> CreateStandInMixerDevice();

}  // namespace kaze::platform
