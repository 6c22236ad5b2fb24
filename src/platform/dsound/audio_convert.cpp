#include "platform/dsound/audio_convert.h"

#include <cmath>

namespace kaze::platform {

namespace {

// The samples of one channel of the sound, in 16-bit units.
class Channel {
 public:
  Channel(const PcmFormat& format, const uint8_t* data, int channel)
      : data_(data),
        stride_(size_t{format.channels} * (format.bitsPerSample / 8)),
        offset_(static_cast<size_t>(channel) * (format.bitsPerSample / 8)),
        eightBit_(format.bitsPerSample == 8) {}

  int32_t operator[](uint64_t frame) const {
    const uint8_t* at = data_ + frame * stride_ + offset_;
    if (eightBit_) return (at[0] - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(at[0] | (at[1] << 8)));
  }

 private:
  const uint8_t* data_;
  size_t stride_;
  size_t offset_;
  bool eightBit_;
};

int16_t Between(int32_t from, int32_t to, uint64_t part, uint64_t whole) {
  return static_cast<int16_t>(
      std::lround(from + (to - from) * (static_cast<double>(part) / static_cast<double>(whole))));
}

}  // namespace

uint64_t ConvertedFrames(uint64_t frames, uint32_t rate, uint32_t outputRate) {
  return (frames * outputRate * 2 + rate) / (uint64_t{rate} * 2);
}

bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     ConvertedSound& out) {
  out.frames.clear();
  out.onceEnding.clear();
  if ((from.channels != 1 && from.channels != 2) || (from.bitsPerSample != 8 && from.bitsPerSample != 16) ||
      from.rate == 0 || outputRate == 0) {
    return false;
  }
  uint64_t inFrames = bytes / (size_t{from.channels} * (from.bitsPerSample / 8));
  uint64_t outFrames = ConvertedFrames(inFrames, from.rate, outputRate);
  if (outFrames == 0) return true;
  Channel left(from, data, 0);
  Channel right(from, data, from.channels - 1);
  out.frames.resize(outFrames * 2);
  // Output frame j is at input frame `at` + `part` / outFrames; stepping j
  // adds inFrames / outFrames exactly, with no error that adds up.
  uint64_t at = 0;
  uint64_t part = 0;
  for (uint64_t j = 0; j < outFrames; ++j) {
    uint64_t next = at + 1 < inFrames ? at + 1 : 0;
    out.frames[j * 2] = Between(left[at], left[next], part, outFrames);
    out.frames[j * 2 + 1] = Between(right[at], right[next], part, outFrames);
    bool pastLastSample = at + 1 == inFrames && part > 0;
    if (pastLastSample) {
      out.onceEnding.push_back(Between(left[at], 0, part, outFrames));
      out.onceEnding.push_back(Between(right[at], 0, part, outFrames));
    }
    part += inFrames;
    at += part / outFrames;
    part %= outFrames;
  }
  return true;
}

}  // namespace kaze::platform
