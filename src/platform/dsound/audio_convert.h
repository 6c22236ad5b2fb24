// Conversion of whole PCM sounds into the output format of the audio device:
// interleaved signed 16-bit stereo at the device's rate. The platform's
// DirectSound calls it once per buffer fill.
//
// A sound of n frames at rate r becomes round(n * outputRate / r) output
// frames, and output frame j is the sound at frame j * n / length, drawn by a
// straight line between the two samples around it. A loop of the output
// therefore lasts exactly as long as a loop of the sound. Past its last
// sample a sound leads into what follows it: its own start again when it
// loops, silence when it plays once. Those two endings differ only in the
// last few frames (those after the last sample's time), so both are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kaze::platform {

struct PcmFormat {
  uint32_t rate = 0;           // frames per second
  uint16_t channels = 0;       // 1 or 2
  uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
};

struct ConvertedSound {
  std::vector<int16_t> frames;      // interleaved stereo, ending as a loop wraps
  std::vector<int16_t> onceEnding;  // the last frames again, as a sound played once ends
};

// The number of output frames of `frames` frames at `rate`.
uint64_t ConvertedFrames(uint64_t frames, uint32_t rate, uint32_t outputRate);

// Converts `bytes` bytes of PCM in `from`, replacing `out`. A trailing
// partial frame is ignored. False, with `out` empty, for a format the
// converter does not take.
bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     ConvertedSound& out);

}  // namespace kaze::platform
