// PCM WAV files: samples in [-1, 1] written as the RIFF "WAVE" file image
// the program's loader reads ("fmt " first, 18 bytes, then "data").
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

struct PcmFormat {
  uint32_t rate = 22050;
  uint16_t channels = 1;
  uint16_t bits = 16;  // 8 (unsigned, silence 128) or 16 (signed)
};

// `samples` holds frames of `format.channels` interleaved values; values
// outside [-1, 1] are clamped. Rounding is to the nearest step, so the same
// samples always give the same bytes.
std::vector<uint8_t> EncodeWav(const std::vector<double>& samples, const PcmFormat& format);

}  // namespace demo
