// The demo data set's sounds: wind, chimes, a drone and two tunes,
// synthesized by code into PCM WAV files.
#pragma once

#include <string>
#include <vector>

#include "demo_file.h"

namespace demo {

// The path of each sound file of the set, known without making any.
std::vector<std::string> SoundPaths();

// Adds the seven effect files, as WAV files in "SOUND/", to `files`.
void SoundFiles(std::vector<DemoFile>& files);

}  // namespace demo
