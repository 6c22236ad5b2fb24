// The demo data set's pictures: backgrounds, overlays, animation frames,
// vertical text lines and control-bar buttons, drawn by code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "demo_file.h"

namespace demo {

// The path of each picture of the set, known without drawing any.
std::vector<std::string> PicturePaths();

// Adds every picture of the set, encoded as its VImage file, to `files`.
// False and a message in `error` when the pictures cannot be drawn.
bool PictureFiles(std::vector<DemoFile>& files, std::string& error);

// Writes every picture under dataDir (the "Data" folder). False and a
// message in `error` when a file cannot be written.
bool WritePictures(const std::filesystem::path& dataDir, std::string& error);

// Draws every picture of the set, named, at 1x on one PNG sheet.
bool WriteContactSheet(const std::filesystem::path& png, std::string& error);

}  // namespace demo
