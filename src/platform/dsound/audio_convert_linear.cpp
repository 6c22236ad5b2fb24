// The browser build's converter: straight lines between samples, with no
// library to link. Output frame j is the sound at frame j * n / length, a
// straight line between the two samples around that time.
#include "platform/dsound/audio_convert.h"

#include <cmath>

#include "platform/dsound/pcm_sample.h"

namespace kaze::platform {

namespace {

int16_t Between(int32_t from, int32_t to, uint64_t part, uint64_t whole) {
  return static_cast<int16_t>(
      std::lround(from + (to - from) * (static_cast<double>(part) / static_cast<double>(whole))));
}

}  // namespace

bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     ConvertedSound& out) {
  out.frames.clear();
  out.onceEnding.clear();
  if (!IsConvertible(from, outputRate)) return false;
  uint64_t inFrames = bytes / (size_t{from.channels} * (from.bitsPerSample / 8));
  uint64_t outFrames = ConvertedFrames(inFrames, from.rate, outputRate);
  if (outFrames == 0) return true;
  PcmChannel left(from, data, 0);
  PcmChannel right(from, data, from.channels - 1);
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
