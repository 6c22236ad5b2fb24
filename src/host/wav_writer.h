// A run's sound as a 16-bit stereo PCM WAV file, written as it comes. The
// sizes in the header are written at Close; until then they say 0.
//
// Every write is checked (see write_failure.h): when one fails, the file is
// cut back to the whole sample frames that reached it and its header made
// to say so at once (or, when even that cannot be done, the file is
// removed); later appends are dropped.
#pragma once

#include <cstdint>
#include <string>

#include "host/checked_file.h"

namespace kaze::host {

class WavWriter {
 public:
  ~WavWriter();
  // Creates the file and writes the header; false with a one-line reason.
  bool Open(const std::string& path, uint32_t rate, std::string& error);
  bool IsOpen() const { return file_.IsOpen(); }
  // The rate the header gives at Close.
  void SetRate(uint32_t rate) { rate_ = rate; }
  void Append(const int16_t* stereo, size_t frames);
  void AppendSilence(uint64_t frames);
  // Drops what was written after the first `frames`.
  void KeepFirst(uint64_t frames);
  // The sample frames appended, written or not.
  uint64_t Frames() const { return dataBytes_ / 4; }
  void Close();  // writes the sizes into the header
  // Closes and removes the file (a run that did not start).
  void Discard();

 private:
  bool WriteHeader(uint64_t dataBytes);
  void Fail();

  CheckedFile file_;
  uint32_t rate_ = 0;
  uint64_t dataBytes_ = 0;
};

}  // namespace kaze::host
