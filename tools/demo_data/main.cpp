// make-demo-data DIR                       writes DIR/Data/...
// make-demo-data --contact-sheet FILE.png  draws every picture on one sheet
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "demo_pictures.h"
#include "demo_sounds.h"

int main(int argc, char** argv) {
  std::string error;
  if (argc == 3 && std::strcmp(argv[1], "--contact-sheet") == 0) {
    if (demo::WriteContactSheet(argv[2], error)) return 0;
  } else if (argc == 2 && argv[1][0] != '-') {
    const std::filesystem::path data = std::filesystem::path(argv[1]) / "Data";
    if (demo::WritePictures(data, error) && demo::WriteSounds(data, error)) return 0;
  } else {
    std::fprintf(stderr, "usage: make-demo-data DIR\n       make-demo-data --contact-sheet FILE.png\n");
    return 2;
  }
  std::fprintf(stderr, "make-demo-data: %s\n", error.c_str());
  return 1;
}
