// The demo data set's sounds: wind, chimes, a drone and two tunes,
// synthesized by code into PCM WAV files.
#pragma once

#include <filesystem>
#include <string>

namespace demo {

// Writes the seven effect files under dataDir (the "Data" folder). False and
// a message in `error` when a file cannot be written.
bool WriteSounds(const std::filesystem::path& dataDir, std::string& error);

}  // namespace demo
