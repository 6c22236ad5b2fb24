// The band-limited converter: libsoxr's "high quality" resampler (linear
// phase, about 125 dB of stopband) from the sound's rate straight to the
// output's, at the exact ratio n : length so that a loop keeps its length.
//
// libsoxr sees a stream that starts in silence; the sound is periodic here
// (its end comes before its start), so the stream is the sound round and
// round, and the first frames of the result are taken from its second round,
// where the end came before them. The ending into silence is the same
// conversion run backwards in time: the filter is symmetric, so the sound
// read from its end towards its start, after silence, gives its last output
// frames with silence after them. Both runs reach only kReach input frames
// (times the ratio when the rate comes down) beyond the frames they give.
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "platform/dsound/audio_convert.h"
#include "platform/dsound/pcm_sample.h"

namespace kaze::platform {

namespace {

// How far, in input frames, the filter's taps above -120 dB reach on each
// side when the rate goes up (measured: 98 frames); coming down, it reaches
// as much further as the ratio. tests/platform/dsound holds the margin.
constexpr uint64_t kReach = 160;

// The most frames handed to or taken from libsoxr in one call.
constexpr size_t kPiece = 8192;

struct Sound {
  PcmChannel left;
  PcmChannel right;
  uint64_t frames;
};

void PutFrame(const Sound& sound, uint64_t frame, float* to) {
  to[0] = static_cast<float>(sound.left[frame]);
  to[1] = static_cast<float>(sound.right[frame]);
}

// Input frame k of the loop's run: the sound from its first frame on, round
// and round.
void PutRoundAndRound(const Sound& sound, uint64_t k, float* to) { PutFrame(sound, k % sound.frames, to); }

// Input frame k of the ending's run: the sound read backwards, first the
// silence just past its end, then its last frame, and so on round through
// its start.
void PutBackwards(const Sound& sound, uint64_t k, float* to) {
  if (k == 0) {
    to[0] = to[1] = 0.0f;
    return;
  }
  PutFrame(sound, (sound.frames - k % sound.frames) % sound.frames, to);
}

int16_t ToSample(float value) { return static_cast<int16_t>(std::lrint(std::clamp(value, -32768.0f, 32767.0f))); }

// Brings `inputFrames` stereo frames, made one by one by put(k, to) after
// silence, from `inRate` to `outRate`, and hands the first `count` output
// frames on in pieces: take(first, frames, n) gets output frames first to
// first + n - 1, as floats in 16-bit units. Frames not made (only a failed
// allocation stops libsoxr early) are not handed on.
//
// Both sides go through buffers of kPiece frames, so a sound of any length
// costs the same little memory: given a whole sound at once, libsoxr grows
// its buffers to it, reallocating as it goes. A call of soxr_process takes
// only as much input as fits its own buffers, so it is called until the
// output is made, then told the input has ended.
template <typename Put, typename Take>
void Resample(uint64_t inputFrames, uint64_t inRate, uint64_t outRate, uint64_t count, Put put, Take take) {
  soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr_t soxr =
      soxr_create(static_cast<double>(inRate), static_cast<double>(outRate), 2, &error, &io, &quality, &runtime);
  if (soxr == nullptr) return;
  std::vector<float> input(kPiece * 2);
  std::vector<float> output(kPiece * 2);
  size_t held = 0;               // input frames in `input`, not yet taken by libsoxr
  uint64_t given = 0, made = 0;  // input frames put in `input`, output frames handed on
  while (made < count) {
    const size_t more = static_cast<size_t>(std::min<uint64_t>(kPiece - held, inputFrames - given));
    for (size_t k = 0; k < more; ++k) put(given + k, &input[(held + k) * 2]);
    given += more;
    held += more;
    size_t used = 0, madeNow = 0;
    soxr_process(soxr, held > 0 ? input.data() : nullptr, held, &used, output.data(),
                 static_cast<size_t>(std::min<uint64_t>(count - made, kPiece)), &madeNow);
    take(made, output.data(), madeNow);
    made += madeNow;
    if (used > 0) {  // what libsoxr left moves to the front
      std::copy(input.begin() + static_cast<ptrdiff_t>(used * 2), input.begin() + static_cast<ptrdiff_t>(held * 2),
                input.begin());
      held -= used;
    }
    if (used == 0 && madeNow == 0 && held == 0) break;
  }
  soxr_delete(soxr);
}

}  // namespace

bool ConvertToOutput(const PcmFormat& from, const uint8_t* data, size_t bytes, uint32_t outputRate,
                     ConvertedSound& out) {
  out.frames.clear();
  out.onceEnding.clear();
  if (!IsConvertible(from, outputRate)) return false;
  const Sound sound{PcmChannel(from, data, 0), PcmChannel(from, data, from.channels - 1),
                    bytes / (size_t{from.channels} * (from.bitsPerSample / 8))};
  const uint64_t n = sound.frames;
  const uint64_t length = ConvertedFrames(n, from.rate, outputRate);
  if (length == 0) return true;
  out.frames.resize(length * 2);  // what is not made stays silent
  if (length == n) {              // the same rate: nothing to filter
    for (uint64_t j = 0; j < n; ++j) {
      out.frames[j * 2] = static_cast<int16_t>(sound.left[j]);
      out.frames[j * 2 + 1] = static_cast<int16_t>(sound.right[j]);
    }
    return true;
  }
  const uint64_t reach = kReach * ((n + length - 1) / length);
  // The output frames whose filter reaches across the start (or the end).
  const uint64_t edge = std::min(length, (reach * length + n - 1) / n + 1);
  const uint64_t edgeInput = (edge * n + length - 1) / length;

  // The loop's run gives length + edge frames; its first `edge` frames came
  // out of silence, so the loop's first frames are taken from its second
  // round instead.
  Resample(
      n + edgeInput + 2 * reach, n, length, length + edge,
      [&](uint64_t k, float* to) { PutRoundAndRound(sound, k, to); },
      [&](uint64_t first, const float* frames, size_t count) {
        for (size_t i = 0; i < count; ++i) {
          const uint64_t m = first + i;
          if (m < edge) continue;
          const uint64_t j = m < length ? m : m - length;
          out.frames[j * 2] = ToSample(frames[i * 2]);
          out.frames[j * 2 + 1] = ToSample(frames[i * 2 + 1]);
        }
      });
  // Frame m of the backwards run is output frame length - m of the ending
  // (frame 0 is the silence past the end).
  out.onceEnding.resize(edge * 2);
  Resample(
      edgeInput + 2 * reach, n, length, edge + 1, [&](uint64_t k, float* to) { PutBackwards(sound, k, to); },
      [&](uint64_t first, const float* frames, size_t count) {
        for (size_t i = 0; i < count; ++i) {
          const uint64_t m = first + i;
          if (m == 0) continue;
          out.onceEnding[(edge - m) * 2] = ToSample(frames[i * 2]);
          out.onceEnding[(edge - m) * 2 + 1] = ToSample(frames[i * 2 + 1]);
        }
      });
  return true;
}

}  // namespace kaze::platform
