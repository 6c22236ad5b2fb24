// How the stand-in is set up for a run: chosen by the program's entry from
// the command line, or by a test, before WinMain. Which mixer the machine
// has is the host's (Host::Mixer).
#pragma once

#include "platform/ddraw/pixel_surface.h"

namespace kaze::platform {

struct Settings {
  PixelLayout displayLayout = PixelLayout::Rgb565;  // the 16-bit display mode's format
  bool noAudioDevice = false;                       // DirectSoundCreate fails
};

Settings& TheSettings();

}  // namespace kaze::platform
