// Before the tool replaces a data folder it proves that the folder holds
// nothing but its own work, so that nothing a player put there is lost.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "demo_file.h"
#include "folder_marker.h"

namespace demo {

// What a proven folder holds, by path below it ('/'-separated).
struct OwnFolder {
  std::vector<std::string> files;    // the marker included
  std::vector<std::string> folders;  // each before the folders inside it
  std::vector<MarkedFile> marked;    // what its marker lists, when it has one of this version
};

// What the tool writes today: each file's path, known at once, and the
// files themselves once they are drawn (drawing takes a while, and a folder
// with a marker, or most strangers, need no more than the paths).
struct TodaysSet {
  std::vector<std::string> paths;
  const std::vector<DemoFile>* files = nullptr;
};

enum class Proof { Own, NotOwn, NeedsTodaysBytes };

// Own when `data` is a folder (not a link to one) and everything in it is
// the tool's: its marker, a folder on the way to a file the tool wrote,
// and files the tool wrote, unchanged. A marker of this version alone
// tells which those are: the files it lists, with the same size and
// CRC-32. Without one (none, an older tool's note that proves nothing, a
// marker edited or cut short) only a file with the very bytes that
// today's set has under its path is the tool's. NotOwn with the first
// entry, in path order, that is surely not the tool's, and why, in
// `error`. NeedsTodaysBytes when only today's bytes can tell (never once
// `today.files` is given).
Proof ProveOwnFolder(const std::filesystem::path& data, const TodaysSet& today, OwnFolder& own, std::string& error);

}  // namespace demo
