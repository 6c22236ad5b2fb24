// One file of the demo data set, drawn or synthesized in memory before
// anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct DemoFile {
  std::string path;  // below the Data folder, '/'-separated: "main/st0010.v"
  std::vector<uint8_t> bytes;
};

}  // namespace demo
