// Conversion of whole PCM sounds into the output format of the audio device:
// interleaved signed 16-bit stereo at the device's rate. The platform's
// DirectSound calls it once per buffer fill.
//
// A sound of n frames at rate r becomes round(n * outputRate / r) output
// frames, and output frame j is the sound at frame j * n / length. A loop of
// the output therefore lasts exactly as long as a loop of the sound. Before
// its first sample a sound is heard as its own end (as a loop wraps), past
// its last sample it leads into what follows it: its own start again when it
// loops, silence when it plays once. Those two endings differ only in the
// last frames (those the converter's reach takes past the last sample), so
// both are kept.
//
// Two converters answer this interface, one per build: a band-limited one
// over libsoxr (audio_convert_soxr.cpp) and, in the browser, where no Debian
// library links, straight lines between samples (audio_convert_linear.cpp).
// docs/SOUND.md says why.
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

// Whether the converters take sounds in `format` to `outputRate`.
bool IsConvertible(const PcmFormat& format, uint32_t outputRate);

// Converts `bytes` bytes of PCM in `from`, replacing `out`. A trailing
// partial frame is ignored. False, with `out` empty, for a format the
// converter does not take.
bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     ConvertedSound& out);

}  // namespace kaze::platform
