// The SoundBank: DirectSound, its primary buffer and ten channels, each a
// static secondary buffer holding one whole WAV file.
#include "sound/sound_bank.h"

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

#include <cstdio>
#include <cstring>
#include <new>

SoundBank* TheSoundBank = nullptr;

namespace {

constexpr DWORD kChannelBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                      DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2;

// Reports a file that cannot be loaded; only the debugger hears of it.
uint16_t LoadFailed(const char* message) {
  OutputDebugStringA(message);
  return kNoChannel;
}

}  // namespace

SoundBank::SoundBank()
    : window(nullptr), sampleCopies{}, sampleSizes{}, directSound(nullptr), primaryBuffer(nullptr), channels{} {}

SoundBank::~SoundBank() {
  for (int channel = 0; channel < kChannelCount; ++channel) {
    if (channels[channel] != nullptr) channels[channel]->Release();
    delete[] sampleCopies[channel];
  }
  if (primaryBuffer != nullptr) primaryBuffer->Release();
  if (directSound != nullptr) directSound->Release();
}

int SoundBank::Initialise(HWND mainWindow) {
  window = mainWindow;
  if (DirectSoundCreate(nullptr, &directSound, nullptr) != DS_OK) return 0;
  if (directSound->SetCooperativeLevel(window, DSSCL_EXCLUSIVE) != DS_OK) return 0;
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (directSound->CreateSoundBuffer(&desc, &primaryBuffer, nullptr) != DS_OK) return 0;
  return 1;
}

int CreateSoundBank(HWND window) {
  auto* bank = new (std::nothrow) SoundBank;
  if (bank == nullptr) return 0;
  TheSoundBank = bank;
  if (bank->Initialise(window) == 0) {
    delete bank;
    TheSoundBank = nullptr;
    return 0;
  }
  return 1;
}

uint16_t SoundBank::FindFreeChannel() const {
  for (uint16_t channel = 0; channel < kChannelCount; ++channel) {
    if (channels[channel] == nullptr) return channel;
  }
  return kNoChannel;
}

// Reads "DATA\SOUND\<name>.wav" into the lowest free channel. Every way out
// closes the file.
uint16_t SoundBank::LoadWave(const char* name) {
  char path[260];
  std::snprintf(path, sizeof(path), "DATA\\SOUND\\%s.wav", name);
  HMMIO file = mmioOpen(path, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  if (file == nullptr) return kNoChannel;
  WAVEFORMATEX format{};
  uint32_t dataSize = 0;
  uint16_t channel = ReadWaveHeader(file, format, dataSize);
  if (channel == kNoChannel) {
    mmioClose(file, 0);
    return kNoChannel;
  }
  if (!ReadSamples(file, channel, dataSize)) {
    mmioClose(file, 0);
    return kNoChannel;
  }
  mmioClose(file, 0);
  return FillChannel(channel, format);
}

// Finds the format and the samples of the file and a channel for them; the
// file is left at the start of the samples. The channel, or kNoChannel.
uint16_t SoundBank::ReadWaveHeader(HMMIO file, WAVEFORMATEX& format, uint32_t& dataSize) {
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) {
    return LoadFailed("ＷＡＶＥファイルではない");
  }
  // The first chunk inside is taken as the format chunk, whatever its name.
  MMCKINFO chunk{};
  if (mmioDescend(file, &chunk, &riff, 0) != MMSYSERR_NOERROR) {
    return LoadFailed("ＷＡＶＥファイルにｆｍｔチャンクがない");
  }
  if (mmioRead(file, reinterpret_cast<HPSTR>(&format), sizeof(format)) != static_cast<LONG>(sizeof(format))) {
    return LoadFailed("ｆｍｔチャンクを読み取ることができない");
  }
  if (format.wFormatTag != WAVE_FORMAT_PCM) return LoadFailed("ＷＡＶＥファイルはＰＣＭフォーマットではない");
  if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return LoadFailed("アセンドできない");
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
    return LoadFailed("ＷＡＶＥファイルにｄａｔａチャンクがない");
  }
  uint16_t channel = FindFreeChannel();
  if (channel == kNoChannel) return LoadFailed("使用できるチャンネルが存在しない");
  dataSize = data.cksize;
  return channel;
}

// Copies the data chunk into the channel's sample copy. A chunk larger than
// any sound buffer may be is refused before anything is allocated: its size
// is the file's claim, not the file's content.
bool SoundBank::ReadSamples(HMMIO file, uint16_t channel, uint32_t dataSize) {
  uint8_t* copy = dataSize <= DSBSIZE_MAX ? new (std::nothrow) uint8_t[dataSize] : nullptr;
  if (copy == nullptr) {
    LoadFailed("サウンドメモリが確保できない");
    return false;
  }
  sampleCopies[channel] = copy;
  sampleSizes[channel] = dataSize;
  if (mmioRead(file, reinterpret_cast<HPSTR>(copy), static_cast<LONG>(dataSize)) != static_cast<LONG>(dataSize)) {
    LoadFailed("ｄａｔａチャンクを読み取ることができない");
    DropSampleCopy(channel);
    return false;
  }
  return true;
}

// Makes the channel's secondary buffer and fills it from the sample copy.
uint16_t SoundBank::FillChannel(uint16_t channel, WAVEFORMATEX& format) {
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = kChannelBufferFlags;
  desc.dwBufferBytes = sampleSizes[channel];
  desc.lpwfxFormat = &format;
  if (directSound->CreateSoundBuffer(&desc, &channels[channel], nullptr) != DS_OK) {
    channels[channel] = nullptr;
    DropSampleCopy(channel);
    return LoadFailed("セカンダリバッファを作成できない");
  }
  // From here on a failure leaves the buffer in its channel until the bank
  // goes; the channel counts as used.
  IDirectSoundBuffer* buffer = channels[channel];
  LPVOID part1 = nullptr;
  LPVOID part2 = nullptr;
  DWORD part1Bytes = 0;
  DWORD part2Bytes = 0;
  HRESULT locked = buffer->Lock(0, sampleSizes[channel], &part1, &part1Bytes, &part2, &part2Bytes, 0);
  if (locked == DSERR_BUFFERLOST) {
    buffer->Restore();
    if (buffer->Lock(0, sampleSizes[channel], &part1, &part1Bytes, &part2, &part2Bytes, 0) != DS_OK) {
      DropSampleCopy(channel);
      return LoadFailed("セカンダリバッファを復元できない");
    }
  } else if (locked != DS_OK) {
    DropSampleCopy(channel);
    return LoadFailed("セカンダリバッファをロックできない");
  }
  uint32_t first = part1Bytes < sampleSizes[channel] ? part1Bytes : sampleSizes[channel];
  std::memcpy(part1, sampleCopies[channel], first);
  if (part2 != nullptr) {
    uint32_t rest = sampleSizes[channel] - first;
    std::memcpy(part2, sampleCopies[channel] + first, part2Bytes < rest ? part2Bytes : rest);
  }
  if (buffer->Unlock(part1, part1Bytes, part2, part2Bytes) != DS_OK) {
    DropSampleCopy(channel);
    return LoadFailed("セカンダリバッファのロック解除ができない");
  }
  // The primary buffer takes the format of the most recently loaded file.
  primaryBuffer->SetFormat(&format);
  return channel;
}

void SoundBank::DropSampleCopy(uint16_t channel) {
  delete[] sampleCopies[channel];
  sampleCopies[channel] = nullptr;
  sampleSizes[channel] = 0;
}

int SoundBank::PlayChannel(uint16_t channel, int loop) {
  if (channel >= kChannelCount || channels[channel] == nullptr) return 0;
  channels[channel]->SetCurrentPosition(0);
  return channels[channel]->Play(0, 0, loop == 1 ? DSBPLAY_LOOPING : 0) == DS_OK ? 1 : 0;
}

int SoundBank::StopChannel(uint16_t channel) {
  if (channel >= kChannelCount) return 0;
  if (channels[channel] == nullptr) return 1;
  return channels[channel]->Stop() == DS_OK ? 1 : 0;
}

int SoundBank::FreeChannel(uint16_t channel) {
  if (channel >= kChannelCount) return 0;
  if (channels[channel] != nullptr) channels[channel]->Release();
  channels[channel] = nullptr;
  DropSampleCopy(channel);
  return 1;
}

// The channel's volume before the change, or 3 (no such channel), 2 (empty
// channel), 1 (volume out of range; nothing changed).
int32_t SoundBank::SetChannelVolume(int32_t channel, int32_t volume) {
  if (channel < 0 || channel >= kChannelCount) return 3;
  IDirectSoundBuffer* buffer = channels[channel];
  if (buffer == nullptr) return 2;
  LONG previous = 0;
  buffer->GetVolume(&previous);
  if (volume > DSBVOLUME_MAX || volume < DSBVOLUME_MIN) return 1;
  buffer->SetVolume(volume);
  return previous;
}
