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

// `count` stereo frames of the sound from its first frame on, round and round.
std::vector<float> RoundAndRound(const Sound& sound, uint64_t count) {
  std::vector<float> out(count * 2);
  for (uint64_t k = 0; k < count; ++k) PutFrame(sound, k % sound.frames, &out[k * 2]);
  return out;
}

// `count` stereo frames of the sound read backwards: first the silence just
// past its end, then its last frame, and so on round through its start.
std::vector<float> Backwards(const Sound& sound, uint64_t count) {
  std::vector<float> out(count * 2, 0.0f);
  for (uint64_t k = 1; k < count; ++k) PutFrame(sound, (sound.frames - k % sound.frames) % sound.frames, &out[k * 2]);
  return out;
}

// The first `count` output frames of `input` (stereo, from silence) brought
// from `inRate` to `outRate`, as floats in 16-bit units. A call of
// soxr_process takes only as much input as fits its own buffers, so it is
// called until the output is made, then told the input has ended.
std::vector<float> Resample(const std::vector<float>& input, uint64_t inRate, uint64_t outRate, uint64_t count) {
  std::vector<float> out(count * 2, 0.0f);
  soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr_t soxr =
      soxr_create(static_cast<double>(inRate), static_cast<double>(outRate), 2, &error, &io, &quality, &runtime);
  if (soxr == nullptr) return out;  // silence: only a failed allocation gets here
  const size_t frames = input.size() / 2;
  size_t taken = 0, made = 0;
  while (made < count) {
    const bool more = taken < frames;
    size_t used = 0, madeNow = 0;
    // In pieces: given all at once, libsoxr grows its buffers to the whole
    // sound, reallocating as it goes.
    soxr_process(soxr, more ? &input[taken * 2] : nullptr, std::min<size_t>(frames - taken, kPiece), &used,
                 &out[made * 2], std::min<size_t>(count - made, kPiece), &madeNow);
    taken += used;
    made += madeNow;
    if (used == 0 && madeNow == 0 && !more) break;
  }
  soxr_delete(soxr);
  return out;  // what was not made stays silent
}

int16_t ToSample(float value) { return static_cast<int16_t>(std::lrint(std::clamp(value, -32768.0f, 32767.0f))); }

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
  out.frames.resize(length * 2);
  if (length == n) {  // the same rate: nothing to filter
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

  std::vector<float> loop = Resample(RoundAndRound(sound, n + edgeInput + 2 * reach), n, length, length + edge);
  for (uint64_t j = 0; j < length; ++j) {
    const float* at = &loop[(j < edge ? j + length : j) * 2];
    out.frames[j * 2] = ToSample(at[0]);
    out.frames[j * 2 + 1] = ToSample(at[1]);
  }
  std::vector<float> ending = Resample(Backwards(sound, edgeInput + 2 * reach), n, length, edge + 1);
  out.onceEnding.resize(edge * 2);
  for (uint64_t i = 0; i < edge; ++i) {  // output frame length - edge + i is frame edge - i backwards
    out.onceEnding[i * 2] = ToSample(ending[(edge - i) * 2]);
    out.onceEnding[i * 2 + 1] = ToSample(ending[(edge - i) * 2 + 1]);
  }
  return true;
}

}  // namespace kaze::platform
