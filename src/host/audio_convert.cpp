#include "host/audio_convert.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

namespace kaze::host {

namespace {

struct StreamDeleter {
  void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};
using Stream = std::unique_ptr<SDL_AudioStream, StreamDeleter>;

constexpr int kOutputChannels = 2;
constexpr size_t kPieceBytes = 256;   // a whole number of frames of any input format

// Appends what the stream has ready to `out`.
bool Drain(SDL_AudioStream* stream, std::vector<int16_t>& out) {
  for (int available; (available = SDL_AudioStreamAvailable(stream)) > 0;) {
    size_t start = out.size();
    out.resize(start + static_cast<size_t>(available) / sizeof(int16_t));
    int got = SDL_AudioStreamGet(stream, out.data() + start, available);
    if (got <= 0) return false;
    out.resize(start + static_cast<size_t>(got) / sizeof(int16_t));
  }
  return true;
}

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
  if (!stream) return false;
  // The stream is fed in small pieces: given a thousand frames or more at
  // once, SDL 2.26 loses part of the output of 8-bit mono sounds.
  for (size_t offset = 0; offset < wholeBytes; offset += kPieceBytes) {
    int piece = static_cast<int>(std::min(kPieceBytes, wholeBytes - offset));
    if (SDL_AudioStreamPut(stream.get(), data + offset, piece) != 0 || !Drain(stream.get(), out)) {
      out.clear();
      return false;
    }
  }
  if (SDL_AudioStreamFlush(stream.get()) != 0 || !Drain(stream.get(), out)) {
    out.clear();
    return false;
  }
  out.resize(out.size() / kOutputChannels * kOutputChannels);
  return true;
}

}  // namespace kaze::host
