// The demo data set's sounds: wind, chimes, a drone and two tunes,
// synthesized by code into PCM WAV files.
#pragma once

#include <vector>

#include "demo_file.h"

namespace demo {

// Adds the seven effect files, as WAV files in "SOUND/", to `files`.
void SoundFiles(std::vector<DemoFile>& files);

}  // namespace demo
