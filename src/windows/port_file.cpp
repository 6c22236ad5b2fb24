// On Windows the program's own file names are the system's: backslashes,
// any letter case, relative to the working directory.
#include "port_file.h"

std::FILE* PortOpenFile(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  return std::fopen(path, mode);
}
