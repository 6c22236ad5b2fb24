// The mixer of a machine without devices: one stereo synthesizer line held
// in memory, so that the program's mixer work runs in full and can be seen
// in the trace, while nothing of the real machine changes. The headless
// host has it unless told otherwise, and the web host always.
#pragma once

#include <memory>

#include "host/host.h"
#include "host/mixer_device.h"

namespace kaze::host {

// Speakers with a stereo synthesizer source whose one volume control starts
// at half scale. Every connection, read and write is a "mixer" record in
// the trace of `traceTo`, which must outlive the device.
std::unique_ptr<MixerDevice> CreateMemoryMixerDevice(Host& traceTo);

}  // namespace kaze::host
