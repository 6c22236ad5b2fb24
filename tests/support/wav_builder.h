// Small RIFF and WAV files built byte by byte for the sound tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kaze::test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

inline void PutId(Bytes& out, const std::string& id) { out.insert(out.end(), id.begin(), id.end()); }

// A chunk with its header; `claimedSize` overrides the size written in it.
inline Bytes Chunk(const std::string& id, const Bytes& body, int64_t claimedSize = -1) {
  Bytes out;
  PutId(out, id);
  Put32(out, claimedSize >= 0 ? static_cast<uint32_t>(claimedSize) : static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) out.push_back(0);
  return out;
}

inline Bytes Riff(const std::string& form, const std::vector<Bytes>& chunks) {
  Bytes body;
  PutId(body, form);
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  return Chunk("RIFF", body);
}

// A "fmt " body of `size` bytes (16 or 18; fewer cuts it short).
inline Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t size = 16) {
  Bytes out;
  uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
  Put16(out, tag);
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * blockAlign);
  Put16(out, blockAlign);
  Put16(out, bits);
  Put16(out, 0);
  out.resize(size);
  return out;
}

// 16-bit samples, interleaved when stereo.
inline Bytes Samples16(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t sample : samples) Put16(out, static_cast<uint16_t>(sample));
  return out;
}

inline Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples) {
  return Riff("WAVE", {Chunk("fmt ", FormatBody(1, channels, rate, bits)), Chunk("data", samples)});
}

// A stereo sound of `frames` frames: a pure tone on each side, `left` and
// `right` in cycles a sample, of `amplitude` in the file's own units (at
// most 127 for 8 bits, 32767 for 16), rounded to the nearest sample.
inline Bytes StereoToneWav(uint32_t rate, uint16_t bits, double left, double right, double amplitude, uint32_t frames) {
  Bytes samples;
  for (uint32_t i = 0; i < frames; ++i) {
    for (double cycles : {left, right}) {
      const long value = std::lround(amplitude * std::sin(2 * M_PI * cycles * i));
      if (bits == 8)
        samples.push_back(static_cast<uint8_t>(128 + value));
      else
        Put16(samples, static_cast<uint16_t>(static_cast<int16_t>(value)));
    }
  }
  return PcmWav(2, rate, bits, samples);
}

// A short 8-bit mono sound at 22050 Hz.
inline Bytes SmallWav() { return PcmWav(1, 22050, 8, Bytes(441, 0xC0)); }

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kaze::test
