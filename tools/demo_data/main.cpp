// make-demo-data DIR                       writes the demo data set to DIR/Data
// make-demo-data --contact-sheet FILE.png  draws every picture on one sheet
//
// Exit codes: 0 done, 1 a file could not be written (or DIR holds a data
// folder this tool did not make), 2 a bad command line.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "demo_pictures.h"
#include "demo_sounds.h"

namespace fs = std::filesystem;

namespace {

// Left in every folder this tool writes, so that it knows which data
// folders it may replace.
constexpr const char* kMarker = ".make-demo-data";

constexpr const char* kUsage =
    "usage: make-demo-data DIR                       write the demo data set to DIR/Data\n"
    "       make-demo-data --contact-sheet FILE.png  draw every picture on one sheet\n";

bool IsDataName(const std::string& name) {
  if (name.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != "data"[i]) return false;
  return true;
}

// Removes an earlier demo data set below `dir`, so that no stale file
// survives; refuses to touch a data folder of anyone else's (the player
// finds a data folder in any letter case).
bool ClearOldData(const fs::path& dir, std::string& error) {
  std::error_code code;
  if (!fs::exists(dir, code)) return true;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, code)) {
    if (!IsDataName(entry.path().filename().string())) continue;
    if (!fs::exists(entry.path() / kMarker) && !(entry.is_directory() && fs::is_empty(entry.path(), code))) {
      error = entry.path().string() + " holds a data set this tool did not make; choose another folder";
      return false;
    }
    fs::remove_all(entry.path(), code);
    if (code) {
      error = "cannot remove " + entry.path().string() + ": " + code.message();
      return false;
    }
  }
  if (code) error = "cannot read " + dir.string() + ": " + code.message();
  return !code;
}

bool WriteDataSet(const fs::path& dir, std::string& error) {
  if (!ClearOldData(dir, error)) return false;
  const fs::path data = dir / "Data";
  std::error_code code;
  fs::create_directories(data, code);
  if (code) {
    error = "cannot make " + data.string() + ": " + code.message();
    return false;
  }
  std::ofstream marker(data / kMarker);
  marker << "written by make-demo-data; it replaces this folder when run again\n";
  if (!marker.flush()) {
    error = "cannot write " + (data / kMarker).string();
    return false;
  }
  return demo::WritePictures(data, error) && demo::WriteSounds(data, error);
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
