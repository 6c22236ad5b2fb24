// What the program wrote, as bytes: a whole file, and the little-endian
// numbers of headers such as RIFF's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kaze::test {

// Sized first and read in one go: a recording or a trace runs to tens of
// megabytes, which a growing string stream would copy again and again
// (seconds of a sanitizer build's time over the suite). Whatever the file
// gained meanwhile is read after it.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes;
  const std::streamoff size = in ? std::streamoff(in.tellg()) : 0;
  if (size > 0 && in.seekg(0)) {
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), size);
    bytes.resize(static_cast<size_t>(in.gcount()));
  }
  in.clear();
  std::ostringstream rest;
  if (in && (rest << in.rdbuf())) bytes += rest.str();
  return bytes;
}

inline uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace kaze::test
