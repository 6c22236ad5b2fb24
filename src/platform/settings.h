// How the stand-in machine is set up for a run: chosen by main from the
// command line, or by a test, before WinMain.
#pragma once

#include "pixel_surface.h"

namespace kaze::platform {

struct Settings {
  PixelLayout displayLayout = PixelLayout::Rgb565;  // the 16-bit display mode's format
  bool noAudioDevice = false;                       // DirectSoundCreate fails
  bool noMixer = false;                             // mixerGetNumDevs reports none
};

Settings& TheSettings();

}  // namespace kaze::platform
