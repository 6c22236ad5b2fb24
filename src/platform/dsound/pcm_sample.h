// One sample of a PCM sound in 16-bit units: 8-bit samples are unsigned
// (0x80 is silence), 16-bit ones signed little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dsound/audio_convert.h"

namespace kaze::platform {

// The samples of one channel of a sound.
class PcmChannel {
 public:
  PcmChannel(const PcmFormat& format, const uint8_t* data, int channel)
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

}  // namespace kaze::platform
