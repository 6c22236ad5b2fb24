#include "host/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "host/write_failure.h"

namespace kaze::host {

namespace {

constexpr uint64_t kHeaderBytes = 44;
constexpr uint64_t kFrameBytes = 4;  // 16-bit stereo
// A RIFF file cannot say more than 4 GB; players read a longer one's data
// to its end anyway.
constexpr uint64_t kMostDataBytes = 0xFFFFFFD0u;

void PutLe(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void FillHeader(uint8_t (&header)[kHeaderBytes], uint32_t rate, uint64_t dataBytes) {
  const auto data = static_cast<uint32_t>(std::min(dataBytes, kMostDataBytes));
  std::memcpy(header, "RIFF", 4);
  PutLe(header + 4, 36 + data, 4);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutLe(header + 16, 16, 4);
  PutLe(header + 20, 1, 2);  // PCM
  PutLe(header + 22, 2, 2);  // stereo
  PutLe(header + 24, rate, 4);
  PutLe(header + 28, rate * 4, 4);
  PutLe(header + 32, 4, 2);
  PutLe(header + 34, 16, 2);
  std::memcpy(header + 36, "data", 4);
  PutLe(header + 40, data, 4);
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, uint32_t rate, std::string& error) {
  Close();
  if (!file_.Open(path)) {
    error = "cannot write the sound recording " + path + ": " + std::strerror(file_.Error());
    return false;
  }
  rate_ = rate;
  dataBytes_ = 0;
  uint8_t header[kHeaderBytes];
  FillHeader(header, rate_, 0);
  file_.Write(header, sizeof header);  // buffered: it goes out with the first sound
  return true;
}

void WavWriter::Append(const int16_t* stereo, size_t frames) {
  if (!file_.IsOpen() || frames == 0) return;
  dataBytes_ += uint64_t{frames} * kFrameBytes;
  if (file_.Failed()) return;
  bool written = false;
  if constexpr (std::endian::native == std::endian::little) {
    written = file_.Write(stereo, frames * kFrameBytes);
  } else {
    std::vector<uint8_t> bytes(frames * kFrameBytes);
    for (size_t i = 0; i < frames * 2; ++i) PutLe(&bytes[i * 2], static_cast<uint16_t>(stereo[i]), 2);
    written = file_.Write(bytes.data(), bytes.size());
  }
  if (!written) Fail();
}

void WavWriter::AppendSilence(uint64_t frames) {
  if (file_.Failed()) {
    dataBytes_ += frames * kFrameBytes;
    return;
  }
  static constexpr int16_t kZeros[2048] = {};
  while (frames > 0) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(frames, std::size(kZeros) / 2));
    Append(kZeros, part);
    frames -= part;
  }
}

void WavWriter::KeepFirst(uint64_t frames) {
  if (!file_.IsOpen() || file_.Failed() || frames >= Frames()) return;
  if (!file_.Flush()) return Fail();
  // A pipe cannot be cut: it keeps what it was given.
  if (file_.IsRegular() && !file_.Truncate(kHeaderBytes + frames * kFrameBytes)) return Fail();
  dataBytes_ = frames * kFrameBytes;
}

bool WavWriter::WriteHeader(uint64_t dataBytes) {
  // The header of a device or a pipe stays as it went out.
  if (!file_.IsRegular()) return true;
  uint8_t header[kHeaderBytes];
  FillHeader(header, rate_, dataBytes);
  return file_.WriteAt(0, header, sizeof header);
}

// The first failed write: said once for the run; the file keeps the whole
// sample frames that reached it, under a header that tells their size.
void WavWriter::Fail() {
  TheWriteFailures().Report("the sound recording", file_.Path(), file_.Error());
  if (!file_.IsRegular()) return;
  const uint64_t written = file_.Written();
  const uint64_t data = written < kHeaderBytes ? 0 : (written - kHeaderBytes) / kFrameBytes * kFrameBytes;
  if (written < kHeaderBytes || !file_.Truncate(kHeaderBytes + data) || !WriteHeader(data)) file_.Remove();
}

void WavWriter::Close() {
  if (!file_.IsOpen()) return;
  if (!file_.Failed() && (!file_.Flush() || !WriteHeader(dataBytes_))) Fail();
  CloseReportingFailure(file_, "the sound recording");
}

void WavWriter::Discard() { file_.Remove(); }

}  // namespace kaze::host
