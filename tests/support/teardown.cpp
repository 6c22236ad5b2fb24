#include "support/teardown.h"

namespace kaze::test {

std::vector<std::string> TeardownSteps(const std::vector<TraceLine>& trace, int64_t from) {
  std::vector<std::string> steps;
  // GCC 12 warns falsely of an overlapping copy in "literal" + string&&
  // (its bug 105651), at -O2 and above.
#ifndef __clang__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  for (const TraceLine& line : trace) {
    if (line.t < from) continue;
    if (line.ev == "ddraw")
      steps.push_back(line.Str("op") + " " + line.Str("object") +
                      (line.Has("refs") ? " " + std::to_string(line.Int("refs")) : ""));
    else if (line.ev == "mixer" && line.Str("op") != "open" && line.Str("op") != "close")
      steps.push_back("mixer " + line.Str("op") + " " + std::to_string(line.Int("left")));
    else if (line.ev == "cursor-clip" || line.ev == "window" || line.ev == "exit" || line.ev == "audio")
      steps.push_back(line.ev + " " + line.Str("op"));
  }
#ifndef __clang__
#pragma GCC diagnostic pop
#endif
  return steps;
}

const std::vector<std::string> kTeardownSteps = {
    "cursor-clip release",   // the cursor clip first
    "audio close",           // the sound bank: its buffers and DirectSound
    "release offscreen 0",   // the work surface
    "release backbuffer 1",  // the back buffer (the flip chain still holds it)
    "release primary 0",     // the primary, and with it the chain
    "release clipper 0",     // the clipper
    "restore-mode ",         // the desktop's mode back
    "release directdraw 0",  // DirectDraw
    "mixer read 32768",      // the synthesizer volume kept at start...
    "mixer write 32768",     // ...is put back
    "window destroy",        // the window last
    "exit ",
};

}  // namespace kaze::test
