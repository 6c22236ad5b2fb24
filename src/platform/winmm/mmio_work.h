// What mmio has asked of its files since the program started: the tests
// bound the cost of a chunk walk by it, as its time depends on the machine.
#pragma once

#include <cstdint>

namespace kaze::platform {

struct MmioFileWork {
  uint64_t reads = 0;  // reads of a file, each of one chunk header or more
  uint64_t seeks = 0;
  uint64_t bytes = 0;  // bytes those reads gave
};
MmioFileWork MmioFileWorkSoFar();

}  // namespace kaze::platform
