// The machine's own mixer: the first sound card's, through ALSA. The sdl
// host offers it, and the headless host when asked (--real-mixer).
#pragma once

#include <memory>
#include <mutex>

#include "host/mixer_device.h"

namespace kaze::host {

// The first sound card's mixer: null without a card (or without ALSA in
// this build).
std::unique_ptr<MixerDevice> CreateAlsaMixerDevice();

// The machine's mixer as a host holds it: the card is looked for when the
// program first asks for a mixer, so that a run that never does touches no
// sound card; what was found is kept for the host's life. Any thread.
class MachineMixer {
 public:
  MixerDevice* Device() {
    std::call_once(lookedFor_, [this] { device_ = CreateAlsaMixerDevice(); });
    return device_.get();
  }

 private:
  std::once_flag lookedFor_;
  std::unique_ptr<MixerDevice> device_;
};

}  // namespace kaze::host
