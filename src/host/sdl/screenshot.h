// F12: the picture on screen saved as a 640x480 PNG in the player's
// screenshot folder (the current one unless the settings name another).
#pragma once

#include <ctime>
#include <string>

#include "host/frame_exchange.h"

namespace kaze::host {

// A path in `folder` (empty: the current one) whose name says when the shot
// was taken, e.g. kaze-20261207-194512.png; "-2", "-3" and so on are added
// while the name is taken already.
std::string ScreenshotName(std::time_t when, const std::string& folder = "");

// Writes the frame under a fresh name and says where on stderr, or in one
// line why not (no file is left then); play goes on either way.
void SaveScreenshot(const StoredFrame& frame, const std::string& folder = "");

}  // namespace kaze::host
