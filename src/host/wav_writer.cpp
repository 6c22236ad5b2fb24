#include "host/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace kaze::host {

namespace {

void PutLe(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteHeader(std::FILE* file, uint32_t rate, uint32_t dataBytes) {
  uint8_t header[44];
  std::memcpy(header, "RIFF", 4);
  PutLe(header + 4, 36 + dataBytes, 4);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutLe(header + 16, 16, 4);
  PutLe(header + 20, 1, 2);  // PCM
  PutLe(header + 22, 2, 2);  // stereo
  PutLe(header + 24, rate, 4);
  PutLe(header + 28, rate * 4, 4);
  PutLe(header + 32, 4, 2);
  PutLe(header + 34, 16, 2);
  std::memcpy(header + 36, "data", 4);
  PutLe(header + 40, dataBytes, 4);
  std::fwrite(header, 1, sizeof header, file);
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, uint32_t rate, std::string& error) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error = "cannot write the sound recording " + path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  rate_ = rate;
  dataBytes_ = 0;
  WriteHeader(file_, rate_, 0);
  return true;
}

void WavWriter::Append(const int16_t* stereo, size_t frames) {
  if (file_ == nullptr || frames == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::fwrite(stereo, 4, frames, file_);
  } else {
    std::vector<uint8_t> bytes(frames * 4);
    for (size_t i = 0; i < frames * 2; ++i) PutLe(&bytes[i * 2], static_cast<uint16_t>(stereo[i]), 2);
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
  }
  dataBytes_ += uint64_t{frames} * 4;
}

void WavWriter::AppendSilence(uint64_t frames) {
  static constexpr int16_t kZeros[2048] = {};
  while (frames > 0) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(frames, std::size(kZeros) / 2));
    Append(kZeros, part);
    frames -= part;
  }
}

void WavWriter::KeepFirst(uint64_t frames) {
  if (file_ == nullptr || frames >= Frames()) return;
  std::fflush(file_);
  std::error_code ignored;
  std::filesystem::resize_file(path_, 44 + frames * 4, ignored);
  if (!ignored) dataBytes_ = frames * 4;
  std::fseek(file_, 0, SEEK_END);
}

void WavWriter::Close() {
  if (file_ == nullptr) return;
  // A RIFF file cannot say more than 4 GB; players read a longer one's
  // data to its end anyway.
  std::fseek(file_, 0, SEEK_SET);
  WriteHeader(file_, rate_, static_cast<uint32_t>(std::min<uint64_t>(dataBytes_, 0xFFFFFFD0u)));
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace kaze::host
