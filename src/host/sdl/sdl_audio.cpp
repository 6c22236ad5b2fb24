#include "host/sdl/sdl_audio.h"

#include <cstdio>

namespace kaze::host {

namespace {
constexpr int kChannels = 2;
constexpr Uint16 kFramesPerPull = 1024;  // about 23 ms

// The default device's own rate, where SDL can tell it.
int DeviceRate() {
  SDL_AudioSpec spec{};
  if (SDL_GetDefaultAudioInfo(nullptr, &spec, 0) == 0 && spec.freq > 0) return spec.freq;
  return int(kSdlAudioRate);
}

}  // namespace

uint32_t SdlAudioOutput::OpenPaused(AudioSource* source) {
  Close();
  if (source == nullptr) return 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "kaze: no audio output (%s); playing silently\n", SDL_GetError());
    return 0;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = DeviceRate();
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kChannels;
  wanted.samples = kFramesPerPull;
  wanted.callback = &SdlAudioOutput::Pull;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  source_ = source;
  // The device's rate, whatever we asked; the format stays ours.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (device_ == 0) {
    std::fprintf(stderr, "kaze: no audio output (%s); playing silently\n", SDL_GetError());
    source_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  return uint32_t(obtained.freq);
}

void SdlAudioOutput::Resume() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::Close() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // returns after the last pull has ended
  device_ = 0;
  source_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Pull(void* self, Uint8* stream, int bytes) {
  auto* output = static_cast<SdlAudioOutput*>(self);
  const size_t frames = size_t(bytes) / (sizeof(int16_t) * kChannels);
  output->source_->Mix(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace kaze::host
