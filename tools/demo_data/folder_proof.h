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

// What the tool writes today: each file's path, known at once, and the
// files themselves once they are drawn (drawing takes a while, and most
// strangers are told apart by their path or their kind alone).
struct TodaysSet {
  std::vector<std::string> paths;
  const std::vector<DemoFile>* files = nullptr;
};

enum class Proof { Own, NotOwn, NeedsTodaysBytes };

// Own when `data` is a folder (not a link to one) and everything in it is
// the tool's: its marker, a file the marker lists with the same size and
// CRC-32, a file with the very bytes that today's set has under its path,
// or a folder that holds such files by the marker or today's paths. An
// older tool's marker proves nothing, so its folder passes only with
// today's bytes. NotOwn with the first entry, in path order, that is
// surely not the tool's, and why, in `error`. NeedsTodaysBytes when only
// today's bytes can tell (never once `today.files` is given).
Proof ProveOwnFolder(const std::filesystem::path& data, const TodaysSet& today, OwnFolder& own, std::string& error);

}  // namespace demo
