// Before the tool replaces a data folder it proves that the folder holds
// nothing but its own work, so that nothing a player put there is lost.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "demo_file.h"

namespace demo {

// What a proven folder holds, by path below it ('/'-separated).
struct OwnFolder {
  std::vector<std::string> files;    // the marker included
  std::vector<std::string> folders;  // each before the folders inside it
};

// True when `data` is a folder (not a link to one) and everything in it is
// the tool's: its marker, a file the marker lists with the same size and
// CRC-32, a file with the very bytes that `set` has under its path, or a
// folder that holds such files by the marker or the set. An older tool's
// marker proves nothing, so its folder passes only with today's bytes.
// Otherwise false, and `error` names the first entry, in path order, that
// is not the tool's and why.
bool ProveOwnFolder(const std::filesystem::path& data, const std::vector<DemoFile>& set, OwnFolder& own,
                    std::string& error);

}  // namespace demo
