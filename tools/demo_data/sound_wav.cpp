#include "sound_wav.h"

#include <algorithm>
#include <cmath>

namespace demo {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<double>& samples, const PcmFormat& format) {
  const uint32_t bytesPerSample = format.bits / 8;
  const uint32_t dataBytes = uint32_t(samples.size()) * bytesPerSample;
  std::vector<uint8_t> out;
  out.reserve(46 + dataBytes + 1);
  PutTag(out, "RIFF");
  Put32(out, 38 + dataBytes + (dataBytes & 1));
  PutTag(out, "WAVE");
  // The whole 18-byte WAVEFORMATEX, so that a loader reading 18 bytes stays
  // inside the chunk.
  PutTag(out, "fmt ");
  Put32(out, 18);
  Put16(out, 1);  // PCM
  Put16(out, format.channels);
  Put32(out, format.rate);
  Put32(out, format.rate * format.channels * bytesPerSample);
  Put16(out, format.channels * bytesPerSample);
  Put16(out, format.bits);
  Put16(out, 0);  // no extra format bytes
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (double sample : samples) {
    const double value = std::clamp(sample, -1.0, 1.0);
    if (format.bits == 8) {
      out.push_back(uint8_t(128 + std::lround(value * 127.0)));
    } else {
      Put16(out, uint16_t(int16_t(std::lround(value * 32767.0))));
    }
  }
  if (dataBytes & 1) out.push_back(0);  // RIFF chunks are padded to even sizes
  return out;
}

}  // namespace demo
