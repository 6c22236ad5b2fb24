#include "host/audio_convert.h"

#include <SDL.h>

#include <memory>

namespace kaze::host {

namespace {

struct StreamDeleter {
  void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};
using Stream = std::unique_ptr<SDL_AudioStream, StreamDeleter>;

constexpr int kOutputChannels = 2;

}  // namespace

bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     std::vector<int16_t>& out) {
  out.clear();
  if ((from.channels != 1 && from.channels != 2) || (from.bitsPerSample != 8 && from.bitsPerSample != 16) ||
      from.rate == 0 || from.rate > INT32_MAX || outputRate == 0 || outputRate > INT32_MAX) {
    return false;
  }
  size_t frameBytes = size_t{from.channels} * (from.bitsPerSample / 8);
  size_t wholeBytes = bytes - bytes % frameBytes;
  if (wholeBytes == 0) return true;
  if (wholeBytes > INT32_MAX) return false;

  SDL_AudioFormat format = from.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  Stream stream(SDL_NewAudioStream(format, from.channels, static_cast<int>(from.rate), AUDIO_S16SYS,
                                   kOutputChannels, static_cast<int>(outputRate)));
  if (!stream || SDL_AudioStreamPut(stream.get(), data, static_cast<int>(wholeBytes)) != 0 ||
      SDL_AudioStreamFlush(stream.get()) != 0) {
    return false;
  }
  int available = SDL_AudioStreamAvailable(stream.get());
  out.resize(static_cast<size_t>(available) / sizeof(int16_t));
  int got = SDL_AudioStreamGet(stream.get(), out.data(), available);
  if (got < 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(got) / sizeof(int16_t) / kOutputChannels * kOutputChannels);
  return true;
}

}  // namespace kaze::host
