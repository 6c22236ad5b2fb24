// make-demo-data DIR                       writes the demo data set to DIR/Data
// make-demo-data --contact-sheet FILE.png  draws every picture on one sheet
//
// Exit codes: 0 done, 1 a file could not be written (or DIR holds a data
// folder this tool did not make), 2 a bad command line.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "demo_pictures.h"
#include "demo_sounds.h"
#include "file_writes.h"
#include "folder_marker.h"
#include "folder_proof.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: make-demo-data DIR                       write the demo data set to DIR/Data\n"
    "       make-demo-data --contact-sheet FILE.png  draw every picture on one sheet\n";

bool IsDataName(const std::string& name) {
  if (name.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != "data"[i]) return false;
  return true;
}

bool Failed(const std::string& what, const fs::path& path, const std::error_code& code, std::string& error) {
  error = "cannot " + what + " " + path.string() + ": " + code.message();
  return false;
}

// The data folders of `dir`, in any letter case (the player finds any).
bool FindDataFolders(const fs::path& dir, std::vector<fs::path>& found, std::string& error) {
  std::error_code code;
  if (!fs::exists(fs::symlink_status(dir, code))) return true;
  for (fs::directory_iterator it(dir, code), end; !code && it != end; it.increment(code))
    if (IsDataName(it->path().filename().string())) found.push_back(it->path());
  return !code || Failed("read", dir, code, error);
}

// Removes what a proven folder holds, except the paths in `keep`: files
// first, then folders, the deepest first. A file that came after the proof
// leaves its folder not empty, and the removal stops there.
bool RemoveOwn(const fs::path& data, const demo::OwnFolder& own, const std::set<std::string>& keep,
               std::string& error) {
  std::error_code code;
  for (const std::string& file : own.files)
    if (!keep.count(file) && !fs::remove(data / file, code) && code) return Failed("remove", data / file, code, error);
  for (auto folder = own.folders.rbegin(); folder != own.folders.rend(); ++folder)
    if (!keep.count(*folder) && !fs::remove(data / *folder, code) && code)
      return Failed("remove", data / *folder, code, error);
  return true;
}

// The files and folders that the set puts in a data folder, the marker too.
std::set<std::string> PathsOf(const std::vector<demo::DemoFile>& set) {
  std::set<std::string> paths{demo::kMarkerName};
  for (const demo::DemoFile& file : set) {
    paths.insert(file.path);
    for (size_t slash = file.path.find('/'); slash != std::string::npos; slash = file.path.find('/', slash + 1))
      paths.insert(file.path.substr(0, slash));
  }
  return paths;
}

bool WriteMarker(const fs::path& data, const std::vector<demo::MarkedFile>& files, std::string& error) {
  const std::string text = demo::FormatMarker(files);
  return demo::WriteWholeFile(data / demo::kMarkerName, std::vector<uint8_t>(text.begin(), text.end()), error);
}

// Writes the set over a proven (or new) folder. The marker first vouches
// for the files there now and today's alike, then each file is written
// whole before it takes its name, the files of an earlier set that this
// one lacks go, and last the marker is left with today's files alone: a
// run stopped anywhere leaves a folder its marker proves.
bool WriteSetInto(const fs::path& data, const std::vector<demo::DemoFile>& set, const demo::OwnFolder& old,
                  std::string& error) {
  std::vector<demo::MarkedFile> today;
  for (const demo::DemoFile& file : set)
    today.push_back({file.path, file.bytes.size(), demo::Crc32(file.bytes.data(), file.bytes.size())});
  std::vector<demo::MarkedFile> both = old.marked;
  both.insert(both.end(), today.begin(), today.end());
  std::error_code code;
  fs::create_directories(data, code);
  if (code) return Failed("make", data, code, error);
  if (!WriteMarker(data, both, error)) return false;
  for (const demo::DemoFile& file : set) {
    const fs::path path = data / file.path;
    fs::create_directories(path.parent_path(), code);
    if (code) return Failed("make", path.parent_path(), code, error);
    if (!demo::WriteWholeFile(path, file.bytes, error)) return false;
  }
  return RemoveOwn(data, old, PathsOf(set), error) && WriteMarker(data, today, error);
}

// Proves each of `folders` the tool's by its marker, or by paths and kinds
// where it has none, which need nothing drawn: the set is drawn only for a
// folder that still needs today's bytes, or for the writing.
bool ProveFolders(const std::vector<fs::path>& folders, std::vector<demo::DemoFile>& set,
                  std::vector<demo::OwnFolder>& owned, std::string& error) {
  demo::TodaysSet today{demo::PicturePaths()};
  for (const std::string& path : demo::SoundPaths()) today.paths.push_back(path);
  owned.assign(folders.size(), {});
  std::vector<size_t> undecided;
  for (size_t i = 0; i < folders.size(); ++i) {
    const demo::Proof proof = demo::ProveOwnFolder(folders[i], today, owned[i], error);
    if (proof == demo::Proof::NotOwn) return false;
    if (proof == demo::Proof::NeedsTodaysBytes) undecided.push_back(i);
  }
  if (!demo::PictureFiles(set, error)) return false;
  demo::SoundFiles(set);
  std::sort(set.begin(), set.end(), [](const demo::DemoFile& a, const demo::DemoFile& b) { return a.path < b.path; });
  today.files = &set;
  for (size_t i : undecided) {
    owned[i] = {};
    if (demo::ProveOwnFolder(folders[i], today, owned[i], error) != demo::Proof::Own) return false;
  }
  return true;
}

// Writes the set to dir/Data. Every data folder already in `dir` must be
// proven the tool's before anything is touched; one in another letter case
// goes, so that the player finds only the new one.
bool WriteDataSet(const fs::path& dir, std::string& error) {
  std::vector<fs::path> folders;
  std::vector<demo::DemoFile> set;
  std::vector<demo::OwnFolder> owned;
  if (!FindDataFolders(dir, folders, error) || !ProveFolders(folders, set, owned, error)) return false;

  const demo::HeldSignals held;
  const fs::path data = dir / "Data";
  demo::OwnFolder old;
  for (size_t i = 0; i < folders.size(); ++i) {
    if (folders[i] == data) {
      old = owned[i];
      continue;
    }
    std::error_code code;
    if (!RemoveOwn(folders[i], owned[i], {}, error)) return false;
    if (!fs::remove(folders[i], code)) return Failed("remove", folders[i], code, error);
  }
  return WriteSetInto(data, set, old, error);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--contact-sheet") == 0) {
    if (demo::WriteContactSheet(argv[2], error)) return 0;
  } else if (argc == 2 && argv[1][0] != '-' && argv[1][0] != '\0') {
    if (WriteDataSet(argv[1], error)) return 0;
  } else {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::fprintf(stderr, "make-demo-data: %s\n", error.c_str());
  return 1;
}
