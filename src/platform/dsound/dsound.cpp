// DirectSound on the software mixer. A secondary buffer keeps its bytes in
// its own format (what Lock hands out) and, after every fill, a copy converted
// to the output format that the mixer plays. Sound events go to the trace,
// naming a buffer by its mixer voice: the lowest number no other live
// secondary buffer has. A buffer made without global or sticky focus is
// heard only while the program is active (sound_focus.h).
#include <dsound.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "host/host.h"
#include "platform/dsound/audio_convert.h"
#include "platform/dsound/audio_mixer.h"
#include "platform/dsound/dsound_objects.h"
#include "platform/setup/faults.h"
#include "platform/setup/settings.h"

using kaze::platform::AudioMixer;
using kaze::platform::CheckFault;
using kaze::platform::DirectSound;
using kaze::platform::DirectSoundBuffer;
using kaze::platform::TheAudioMixer;

namespace {

DirectSound* gDirectSound = nullptr;  // only one object at a time, as one device

// The converted form of a buffer may not grow beyond this (a long sound at a
// very low rate would otherwise blow up).
constexpr uint64_t kMaxConvertedBytes = uint64_t{1} << 29;

std::optional<HRESULT> Fault(std::string_view call) {
  if (std::optional<int64_t> result = CheckFault(call)) return static_cast<HRESULT>(*result);
  return std::nullopt;
}

bool IsPlayablePcm(const WAVEFORMATEX& format) {
  return format.wFormatTag == WAVE_FORMAT_PCM && (format.nChannels == 1 || format.nChannels == 2) &&
         (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
         format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
         format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

uint64_t OutputFramesOf(const WAVEFORMATEX& format, uint64_t bytes, uint32_t outputRate) {
  return kaze::platform::ConvertedFrames(bytes / format.nBlockAlign, format.nSamplesPerSec, outputRate);
}

// The output frame that plays the frame at `byteOffset` in a buffer of
// `bufferBytes`.
uint64_t OutputFrameAt(const WAVEFORMATEX& format, uint64_t byteOffset, uint64_t bufferBytes, uint32_t outputRate) {
  uint64_t frames = bufferBytes / format.nBlockAlign;
  if (frames == 0) return 0;
  return byteOffset / format.nBlockAlign * OutputFramesOf(format, bufferBytes, outputRate) / frames;
}

// The byte offset of the buffer's frame that output frame `outputFrame`
// plays: the other way round from OutputFrameAt.
uint64_t ByteOffsetAt(const WAVEFORMATEX& format, uint64_t outputFrame, uint64_t bufferBytes, uint32_t outputRate) {
  uint64_t outputFrames = OutputFramesOf(format, bufferBytes, outputRate);
  if (outputFrames == 0) return 0;
  return outputFrame * (bufferBytes / format.nBlockAlign) / outputFrames * format.nBlockAlign;
}

bool FollowsFocus(DWORD flags) { return (flags & (DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS)) == 0; }

void PublishSamples(const kaze::platform::SoundBufferState& state) {
  kaze::platform::ConvertedSound sound;
  kaze::platform::PcmFormat from{state.format.nSamplesPerSec, state.format.nChannels, state.format.wBitsPerSample};
  kaze::platform::ConvertToOutput(from, state.memory.data(), state.memory.size(), TheAudioMixer().OutputRate(), sound);
  TheAudioMixer().SetFrames(state.voice, std::move(sound.frames), std::move(sound.onceEnding));
}

bool InsideMemory(const std::vector<uint8_t>& memory, LPVOID part, DWORD bytes) {
  if (part == nullptr) return bytes == 0;
  auto* at = static_cast<const uint8_t*>(part);
  if (at < memory.data() || at >= memory.data() + memory.size()) return false;
  return bytes <= static_cast<size_t>(memory.data() + memory.size() - at);
}

HRESULT CreatePrimary(DirectSound* owner, LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer) {
  if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
  auto* primary = new DirectSoundBuffer;
  primary->state.flags = desc->dwFlags;
  primary->state.primary = true;
  primary->state.owner = owner;
  primary->state.format = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
  *buffer = primary;
  return DS_OK;
}

HRESULT CreateSecondary(DirectSound* owner, LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer) {
  if (desc->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
  const WAVEFORMATEX& format = *desc->lpwfxFormat;
  if (!IsPlayablePcm(format)) return DSERR_BADFORMAT;
  if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  uint32_t outputRate = TheAudioMixer().OutputRate();
  if (OutputFramesOf(format, desc->dwBufferBytes, outputRate) * 4 > kMaxConvertedBytes) return DSERR_OUTOFMEMORY;

  auto* secondary = new DirectSoundBuffer;
  kaze::platform::SoundBufferState& state = secondary->state;
  state.flags = desc->dwFlags;
  state.owner = owner;
  state.format = format;
  state.format.cbSize = 0;
  state.memory.assign(desc->dwBufferBytes, format.wBitsPerSample == 8 ? 0x80 : 0x00);
  state.voice = TheAudioMixer().AddVoice(FollowsFocus(desc->dwFlags));
  // A new buffer is silence, and so is its output: nothing to convert.
  TheAudioMixer().SetSilence(state.voice, OutputFramesOf(format, desc->dwBufferBytes, outputRate));
  kaze::host::TheHost().Trace("sound", {{"op", "load"},
                                        {"channel", int64_t{state.voice}},
                                        {"bytes", int64_t{desc->dwBufferBytes}},
                                        {"rate", int64_t{format.nSamplesPerSec}},
                                        {"channels", int64_t{format.nChannels}},
                                        {"bits", int64_t{format.wBitsPerSample}}});
  *buffer = secondary;
  return DS_OK;
}

}  // namespace

HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  if (directSound == nullptr) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (auto fault = Fault("DirectSoundCreate")) return *fault;
  if (outer != nullptr) return DSERR_INVALIDPARAM;
  if (device != nullptr || kaze::platform::TheSettings().noAudioDevice) return DSERR_NODRIVER;
  if (gDirectSound != nullptr) return DSERR_ALLOCATED;
  if (TheAudioMixer().Open() == 0) return DSERR_NODRIVER;
  gDirectSound = new DirectSound;
  *directSound = gDirectSound;
  return DS_OK;
}

ULONG DirectSound::AddRef() { return ++refCount; }

ULONG DirectSound::Release() {
  ULONG left = --refCount;
  if (left == 0) {
    TheAudioMixer().Close();
    if (gDirectSound == this) gDirectSound = nullptr;
    delete this;
  }
  return left;
}

HRESULT DirectSound::SetCooperativeLevel(HWND hwnd, DWORD level) {
  if (auto fault = Fault("IDirectSound::SetCooperativeLevel")) return *fault;
  if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  cooperativeWindow = hwnd;
  cooperativeLevel = level;
  return DS_OK;
}

HRESULT DirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  if (auto fault = Fault("IDirectSound::CreateSoundBuffer")) return *fault;
  if (desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC) || outer != nullptr) return DSERR_INVALIDPARAM;
  if (cooperativeLevel == 0) return DSERR_PRIOLEVELNEEDED;
  return (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) ? CreatePrimary(this, desc, buffer)
                                                 : CreateSecondary(this, desc, buffer);
}

ULONG DirectSoundBuffer::AddRef() { return ++state.refCount; }

ULONG DirectSoundBuffer::Release() {
  ULONG left = --state.refCount;
  if (left == 0) {
    if (state.voice >= 0) TheAudioMixer().RemoveVoice(state.voice);
    delete this;
  }
  return left;
}

HRESULT DirectSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD part1Bytes, LPVOID* part2,
                                LPDWORD part2Bytes, DWORD flags) {
  if (auto fault = Fault("IDirectSoundBuffer::Lock")) return *fault;
  if (state.primary) return DSERR_PRIOLEVELNEEDED;
  if (state.locked) return DSERR_INVALIDCALL;
  if (part1 == nullptr || part1Bytes == nullptr) return DSERR_INVALIDPARAM;
  size_t size = state.memory.size();
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = static_cast<DWORD>(size);
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
  DWORD first = static_cast<DWORD>(std::min<size_t>(bytes, size - offset));
  DWORD second = bytes - first;
  if (second > 0 && (part2 == nullptr || part2Bytes == nullptr)) return DSERR_INVALIDPARAM;
  *part1 = state.memory.data() + offset;
  *part1Bytes = first;
  if (part2 != nullptr) *part2 = second > 0 ? state.memory.data() : nullptr;
  if (part2Bytes != nullptr) *part2Bytes = second;
  state.locked = true;
  return DS_OK;
}

HRESULT DirectSoundBuffer::Unlock(LPVOID part1, DWORD part1Bytes, LPVOID part2, DWORD part2Bytes) {
  if (auto fault = Fault("IDirectSoundBuffer::Unlock")) return *fault;
  if (!state.locked) return DSERR_INVALIDCALL;
  if (!InsideMemory(state.memory, part1, part1Bytes) || !InsideMemory(state.memory, part2, part2Bytes)) {
    return DSERR_INVALIDPARAM;
  }
  state.locked = false;
  PublishSamples(state);
  return DS_OK;
}

HRESULT DirectSoundBuffer::Restore() {
  if (auto fault = Fault("IDirectSoundBuffer::Restore")) return *fault;
  return DS_OK;
}

// The mixer reads only the copy made at Unlock, so every byte may be
// written at any time: the write cursor is the play cursor.
HRESULT DirectSoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
  if (state.primary) return DSERR_INVALIDCALL;
  DWORD at = static_cast<DWORD>(ByteOffsetAt(state.format, TheAudioMixer().Position(state.voice), state.memory.size(),
                                             TheAudioMixer().OutputRate()));
  if (playCursor != nullptr) *playCursor = at;
  if (writeCursor != nullptr) *writeCursor = at;
  return DS_OK;
}

HRESULT DirectSoundBuffer::SetCurrentPosition(DWORD position) {
  if (auto fault = Fault("IDirectSoundBuffer::SetCurrentPosition")) return *fault;
  if (state.primary) return DSERR_INVALIDCALL;
  if (position >= state.memory.size()) return DSERR_INVALIDPARAM;
  TheAudioMixer().SetPosition(state.voice,
                              OutputFrameAt(state.format, position, state.memory.size(), TheAudioMixer().OutputRate()));
  return DS_OK;
}

HRESULT DirectSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (auto fault = Fault("IDirectSoundBuffer::Play")) return *fault;
  if (reserved != 0) return DSERR_INVALIDPARAM;
  if (state.primary) return DS_OK;
  bool loop = (flags & DSBPLAY_LOOPING) != 0;
  TheAudioMixer().Play(state.voice, loop);
  state.looping = loop;
  kaze::host::TheHost().Trace("sound", {{"op", "play"}, {"channel", int64_t{state.voice}}, {"loop", loop}});
  return DS_OK;
}

HRESULT DirectSoundBuffer::Stop() {
  if (auto fault = Fault("IDirectSoundBuffer::Stop")) return *fault;
  if (state.primary) return DS_OK;
  TheAudioMixer().Stop(state.voice);
  kaze::host::TheHost().Trace("sound", {{"op", "stop"}, {"channel", int64_t{state.voice}}});
  return DS_OK;
}

HRESULT DirectSoundBuffer::GetStatus(LPDWORD status) {
  if (status == nullptr) return DSERR_INVALIDPARAM;
  *status = 0;
  if (!state.primary && TheAudioMixer().IsPlaying(state.voice)) {
    *status = DSBSTATUS_PLAYING | (state.looping ? DSBSTATUS_LOOPING : 0);
  }
  return DS_OK;
}

HRESULT DirectSoundBuffer::GetVolume(LPLONG volume) {
  if (auto fault = Fault("IDirectSoundBuffer::GetVolume")) return *fault;
  if (volume == nullptr) return DSERR_INVALIDPARAM;
  if (!(state.flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  *volume = state.volume;
  return DS_OK;
}

HRESULT DirectSoundBuffer::SetVolume(LONG volume) {
  if (auto fault = Fault("IDirectSoundBuffer::SetVolume")) return *fault;
  if (!(state.flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  state.volume = volume;
  TheAudioMixer().SetGain(state.voice, kaze::platform::GainOfVolume(volume));
  kaze::host::TheHost().Trace("sound",
                              {{"op", "volume"}, {"channel", int64_t{state.voice}}, {"volume", int64_t{volume}}});
  return DS_OK;
}

HRESULT DirectSoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (auto fault = Fault("IDirectSoundBuffer::SetFormat")) return *fault;
  if (!state.primary) return DSERR_INVALIDCALL;
  if (format == nullptr) return DSERR_INVALIDPARAM;
  if (state.owner == nullptr || state.owner->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsPlayablePcm(*format)) return DSERR_BADFORMAT;
  state.format = *format;
  state.format.cbSize = 0;
  return DS_OK;
}
