// Which folder holds the data set (its "Data" folder, in any letter case):
// the one the player names, else the working directory, else the set that
// comes with the program. A run without a data set does not start.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kaze::cli {

// A folder that may hold a data set, and what the message that finds none
// calls it ("the working directory"; empty: the path says enough).
struct DataPlace {
  std::filesystem::path folder;
  std::string role;
};

// The folder that holds the Data folder, which the platform reads below.
// A folder given with --data must hold one, or be one itself (the player
// named the Data folder rather than its parent). Without --data: the working
// directory when it holds one, else the first of `programPlaces` that does.
// Nothing, with a one-line reason that names every place looked at, when no
// data set is there.
std::optional<std::filesystem::path> FindDataSet(const std::string& given, const std::filesystem::path& workingDir,
                                                 const std::vector<DataPlace>& programPlaces, std::string& error);

// Where the program `program` (its real path) keeps its data set. The
// program in its build tree plays that build's demo set. Any other copy, an
// installed one, looks next to itself (<prefix>/bin/kaze finds
// <prefix>/share/kaze, <prefix>/games/kaze <prefix>/share/games/kaze, as
// configured, so a moved prefix still works), then in the folder the build
// was configured for; it never reads a build tree.
std::vector<DataPlace> ProgramDataPlaces(const std::filesystem::path& program);

// The running program's own file, links resolved (empty when unknown).
std::filesystem::path RunningProgram();

}  // namespace kaze::cli
