// A run's sound as a 16-bit stereo PCM WAV file, written as it comes. The
// sizes in the header are written at Close; until then they say 0.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kaze::host {

class WavWriter {
 public:
  ~WavWriter();
  // Creates the file and writes the header; false with a one-line reason.
  bool Open(const std::string& path, uint32_t rate, std::string& error);
  bool IsOpen() const { return file_ != nullptr; }
  void Append(const int16_t* stereo, size_t frames);
  void AppendSilence(uint64_t frames);
  // Drops what was written after the first `frames`.
  void KeepFirst(uint64_t frames);
  uint64_t Frames() const { return dataBytes_ / 4; }
  void Close();  // writes the sizes into the header

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  uint32_t rate_ = 0;
  uint64_t dataBytes_ = 0;
};

}  // namespace kaze::host
