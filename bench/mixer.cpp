// The software mixer's cost: one iteration mixes one second of 44.1 kHz
// stereo output from ten looping sounds at different volumes, pulled in the
// 1024-frame blocks of a typical audio callback. The CPU time per iteration
// is the mixer's share of one core: 10 ms would be 1% (the goal is less).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/dsound/audio_convert.h"
#include "platform/dsound/audio_mixer.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr size_t kCallbackFrames = 1024;

void AddLoopingVoices(kaze::platform::AudioMixer& mixer, int count) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-12000, 12000);
  for (int i = 0; i < count; ++i) {
    std::vector<int16_t> frames(2 * (kRate / 2 + 977 * i));  // lengths differ, so the loops wrap apart
    for (int16_t& value : frames) value = static_cast<int16_t>(sample(random));
    int voice = mixer.AddVoice();
    mixer.SetFrames(voice, std::move(frames));
    mixer.SetGain(voice, kaze::platform::GainOfVolume(-200 * i));
    mixer.Play(voice, true);
  }
}

void MixOneSecond(benchmark::State& state) {
  kaze::platform::AudioMixer mixer;
  AddLoopingVoices(mixer, static_cast<int>(state.range(0)));
  std::vector<int16_t> out(2 * kCallbackFrames);
  for (auto _ : state) {
    for (size_t done = 0; done < kRate; done += kCallbackFrames) {
      mixer.Mix(out.data(), kCallbackFrames);
      benchmark::DoNotOptimize(out.data());
    }
  }
}
BENCHMARK(MixOneSecond)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond);

// The conversion of a sound as a buffer is filled: ten seconds of 8-bit mono
// at 22050 Hz (the argument: 8) or of 16-bit stereo at 48000 Hz (16).
void ConvertTenSeconds(benchmark::State& state) {
  const bool eightBit = state.range(0) == 8;
  const kaze::platform::PcmFormat format{eightBit ? 22050u : 48000u, uint16_t(eightBit ? 1 : 2),
                                         uint16_t(eightBit ? 8 : 16)};
  std::vector<uint8_t> bytes(size_t{format.rate} * 10 * format.channels * format.bitsPerSample / 8);
  std::mt19937 random(7);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  kaze::platform::ConvertedSound sound;
  for (auto _ : state) {
    kaze::platform::ConvertToOutput(format, bytes.data(), bytes.size(), kRate, sound);
    benchmark::DoNotOptimize(sound.frames.data());
  }
}
BENCHMARK(ConvertTenSeconds)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);

// Frames of 16-bit mono converted per second from one rate (first
// argument) to an output rate (second): items per second are input frames.
void ConvertRatePair(benchmark::State& state) {
  const auto rate = static_cast<uint32_t>(state.range(0));
  const auto outputRate = static_cast<uint32_t>(state.range(1));
  const kaze::platform::PcmFormat format{rate, 1, 16};
  std::vector<uint8_t> bytes(size_t{rate} * 4 * 2);  // four seconds
  std::mt19937 random(7);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  kaze::platform::ConvertedSound sound;
  for (auto _ : state) {
    kaze::platform::ConvertToOutput(format, bytes.data(), bytes.size(), outputRate, sound);
    benchmark::DoNotOptimize(sound.frames.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * rate * 4);
}
BENCHMARK(ConvertRatePair)
    ->Args({11025, 44100})
    ->Args({22050, 44100})
    ->Args({22050, 48000})
    ->Args({8000, 48000})
    ->Args({48000, 44100})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
