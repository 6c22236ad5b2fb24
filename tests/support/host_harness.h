// A stand-in for the program around the sdl host: a main thread that pumps
// events and a game thread that shows a test picture at 50 frames a second
// and polls the mouse buttons. ESC or a close ends it with exit code 0.
#pragma once

#include <cstdint>

#include "host/sdl/sdl_host.h"

namespace kaze::testing {

// The test picture in 5-6-5: four quadrants red, green, blue and white, and
// a one-pixel checkerboard of black and white in the middle 64x64 square.
uint16_t TestPicturePixel(int32_t x, int32_t y);

struct HarnessOptions {
  double seconds = 0;              // run at most this long; 0: no limit
  bool boxFromGameThread = false;  // the game thread first asks for a message box
  bool lateQuery = false;          // the game thread first asks about the left button long after a click
};

// Runs until ESC, a close, or the time is up. Returns the exit code: 0, or 3
// when the host could not start. Writes to stderr:
//   "harness: box closed"          once the game thread's box returned;
//   "harness: late query: up|down" what the left button read a second after
//                                  the main thread passed on a click;
//   "harness: left pressed"        each time the left button reads down to
//                                  two queries in a row (as the control bar
//                                  asks) after reading up.
int RunHostHarness(const host::SdlHostOptions& options, const HarnessOptions& harness = {});

}  // namespace kaze::testing
