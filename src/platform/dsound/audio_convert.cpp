// What both converters share: the length of a converted sound and the
// formats they take.
#include "platform/dsound/audio_convert.h"

namespace kaze::platform {

uint64_t ConvertedFrames(uint64_t frames, uint32_t rate, uint32_t outputRate) {
  return (frames * outputRate * 2 + rate) / (uint64_t{rate} * 2);
}

bool IsConvertible(const PcmFormat& format, uint32_t outputRate) {
  return (format.channels == 1 || format.channels == 2) && (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
         format.rate != 0 && outputRate != 0;
}

}  // namespace kaze::platform
