// The marker the tool leaves at the top of every data folder it writes:
// each file it wrote there, with its size and CRC-32, so that a later run
// can tell the tool's files, unchanged, from anything a player put there.
//
//   make-demo-data 2: the files this tool wrote here; it replaces ...
//   <crc-32, 8 hex digits> <size> <path below the folder>
//   ...
//   end <crc-32 of every line above>
//
// The last line makes any edit of the marker, or a marker cut short, one
// that proves nothing. While a run replaces the files, a path may be
// listed twice: as it was and as it will be.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

inline constexpr const char* kMarkerName = ".make-demo-data";

struct MarkedFile {
  std::string path;  // '/'-separated, below the folder
  uint64_t size = 0;
  uint32_t crc = 0;
};

uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t crc = 0);

std::string FormatMarker(const std::vector<MarkedFile>& files);

// The files a marker lists; nothing when it is not one this version wrote,
// unchanged (an older tool's plain note proves nothing either).
std::optional<std::vector<MarkedFile>> ParseMarker(std::string_view text);

}  // namespace demo
