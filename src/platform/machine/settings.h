// How the stand-in machine is set up for a run: chosen by main from the
// command line, or by a test, before WinMain.
#pragma once

#include "platform/ddraw/pixel_surface.h"

namespace kaze::platform {

// Which audio mixer the machine has.
enum class MixerChoice {
  StandIn,  // one in memory: the mixer code runs, nothing of the machine changes
  Machine,  // the machine's first sound card
  None,     // no mixer at all
};

struct Settings {
  PixelLayout displayLayout = PixelLayout::Rgb565;  // the 16-bit display mode's format
  bool noAudioDevice = false;                       // DirectSoundCreate fails
  MixerChoice mixer = MixerChoice::StandIn;         // only a player's run asks for the machine's
};

Settings& TheSettings();

}  // namespace kaze::platform
