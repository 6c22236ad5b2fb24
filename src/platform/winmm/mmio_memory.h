// A way in for the fuzzer and tests: mmio reading RIFF bytes held in memory
// rather than a file, through the same chunk walk.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kaze::platform {

// While set, every mmioOpen reads these bytes (perhaps none), whatever file
// it names, instead of a file. The bytes must outlive the handles opened
// meanwhile. Nothing goes back to files.
void SetMmioMemoryFile(std::optional<std::span<const uint8_t>> bytes);

}  // namespace kaze::platform
