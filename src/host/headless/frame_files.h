// The shown frame as numbers and files: its CRC-32 and PNG snapshots, and
// the WAV file of a run's audio.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/include/pixel_surface.h"

namespace kaze::host {

// CRC-32 (zlib's, PNG's) over the pixels as little-endian 16-bit words,
// rows top to bottom.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels);

// Writes width x height 16-bit pixels as an 8-bit RGB PNG.
bool WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
              platform::PixelLayout layout, std::string& error);

// A 16-bit stereo WAV file written as the audio comes.
class WavWriter {
 public:
  ~WavWriter();
  bool Open(const std::string& path, uint32_t rate, std::string& error);
  void Append(const int16_t* stereo, size_t frames);
  void Close();  // writes the sizes into the header

 private:
  std::FILE* file_ = nullptr;
  uint32_t rate_ = 0;
  uint64_t dataBytes_ = 0;
};

}  // namespace kaze::host
