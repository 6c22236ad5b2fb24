// Conversion of whole PCM sounds into the output format of the audio device
// (interleaved signed 16-bit stereo at the device's rate), by SDL's own
// converter. The platform's DirectSound calls it once per buffer fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kaze::host {

struct PcmFormat {
  uint32_t rate = 0;           // frames per second
  uint16_t channels = 0;       // 1 or 2
  uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
};

// Converts `bytes` bytes of PCM in `from` to stereo frames at `outputRate`,
// replacing `out`. A trailing partial frame is ignored. False, with `out`
// empty, for a format the converter does not take.
bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     std::vector<int16_t>& out);

}  // namespace kaze::host
