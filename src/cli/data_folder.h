// Which folder holds the data set (its "Data" folder) when the player gave
// none: a Data folder in the working directory, else the one installed with
// the program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kaze::cli {

// The folder given with --data wins; else the working directory when it has
// a Data folder (any letter case); else the first of `installed` that has
// one; else the working directory, where the missing pictures are then
// reported as the program always reports them.
std::filesystem::path ChooseDataFolder(const std::string& given, const std::filesystem::path& workingDir,
                                       const std::vector<std::filesystem::path>& installed);

// Where an installed copy keeps its data set: next to the program
// (<prefix>/bin/kaze finds <prefix>/share/kaze, so a moved prefix still
// works), then the folder the build was configured to install to.
std::vector<std::filesystem::path> InstalledDataFolders();

}  // namespace kaze::cli
