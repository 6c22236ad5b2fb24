// The pixel row loops in AVX2 (16 pixels a step) and AVX-512BW (32); the
// two widths are written alike, line for line. AVX2 runs a row's last
// pixels (fewer than a step) through the same vector code on copies in
// whole-step buffers, so there is no scalar version to keep in step.
// AVX-512 loads and stores under a mask: rows end in a masked step, and the
// dimmed draw never reads the target.
//
// The blend runs each channel in 16-bit lanes: dc * inverse + sc * alpha +
// bias stays below 65536 (the weight search guarantees it), and its top 5
// bits are the channel's new value. On 5-6-5 the red result lands in place
// with one mask, since bits 11 to 15 are where red lives.
#include "image/pixel_kernels_simd.h"

#if defined(KAZE_PIXEL_AVX2)

#include <immintrin.h>

#include <cstring>

#define KAZE_AVX2 __attribute__((target("avx2")))

namespace pixel_simd {

namespace {

// The last `count` (< 16) pixels of a row in whole-step buffers; the
// source beyond the row is black, which every loop leaves alone.
struct Tail16 {
  uint16_t target[16] = {}, source[16] = {};
  int32_t count;
  Tail16(const uint16_t* rowTarget, const uint16_t* rowSource, int32_t n) : count(n) {
    std::memcpy(target, rowTarget, static_cast<size_t>(n) * 2);
    if (rowSource != nullptr) std::memcpy(source, rowSource, static_cast<size_t>(n) * 2);
  }
  void WriteBack(uint16_t* rowTarget) const { std::memcpy(rowTarget, target, static_cast<size_t>(count) * 2); }
};

}  // namespace

// ---- AVX2 -------------------------------------------------------------------

int WidestVectors() {
  static const int widest = [] {
    __builtin_cpu_init();  // may run before the library's own constructors
    if (__builtin_cpu_supports("avx512bw")) return 2;
    return __builtin_cpu_supports("avx2") ? 1 : 0;
  }();
  return widest;
}

namespace {

KAZE_AVX2 inline __m256i Load16(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
KAZE_AVX2 inline void Store16(uint16_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

KAZE_AVX2 inline void Dim16(uint16_t* target, const uint16_t* source, __m256i halfMask) {
  const __m256i s = Load16(source);
  const __m256i dimmed = _mm256_and_si256(_mm256_srli_epi16(s, 1), halfMask);
  const __m256i black = _mm256_cmpeq_epi16(s, _mm256_setzero_si256());
  if (_mm256_testz_si256(black, black))
    Store16(target, dimmed);
  else
    Store16(target, _mm256_blendv_epi8(dimmed, Load16(target), black));
}

KAZE_AVX2 inline void Darken16(uint16_t* row, const __m256i fields[3], const __m256i steps[3]) {
  const __m256i p = Load16(row);
  const __m256i red = _mm256_subs_epu16(_mm256_and_si256(p, fields[0]), steps[0]);
  const __m256i green = _mm256_subs_epu16(_mm256_and_si256(p, fields[1]), steps[1]);
  const __m256i blue = _mm256_subs_epu16(_mm256_and_si256(p, fields[2]), steps[2]);
  Store16(row, _mm256_or_si256(_mm256_or_si256(red, green), blue));
}

struct Weights16 {
  __m256i inverse, alpha, bias, five;
};

KAZE_AVX2 inline Weights16 MakeWeights16(FixedWeights w) {
  return Weights16{_mm256_set1_epi16(static_cast<short>(w.inverse)), _mm256_set1_epi16(static_cast<short>(w.alpha)),
                   _mm256_set1_epi16(static_cast<short>(w.bias)), _mm256_set1_epi16(31)};
}

KAZE_AVX2 inline __m256i Mix16(__m256i sc, __m256i dc, const Weights16& w) {
  return _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(sc, w.alpha), _mm256_mullo_epi16(dc, w.inverse)), w.bias);
}

// A 5-bit channel moved down to bit 0 (the top one needs no mask).
template <int Shift>
KAZE_AVX2 inline __m256i Channel16(__m256i p, __m256i five) {
  if constexpr (Shift == 11) return _mm256_srli_epi16(p, Shift);
  return _mm256_and_si256(_mm256_srli_epi16(p, Shift), five);
}

template <bool Is565>
KAZE_AVX2 inline void Blend16(uint16_t* target, const uint16_t* source, const Weights16& w) {
  constexpr int kRed = Is565 ? 11 : 10, kGreen = Is565 ? 6 : 5;
  const __m256i s = Load16(source), d = Load16(target);
  const __m256i red = Mix16(Channel16<kRed>(s, w.five), Channel16<kRed>(d, w.five), w);
  const __m256i green = Mix16(Channel16<kGreen>(s, w.five), Channel16<kGreen>(d, w.five), w);
  const __m256i blue = Mix16(_mm256_and_si256(s, w.five), _mm256_and_si256(d, w.five), w);
  const __m256i mixed = _mm256_or_si256(
      _mm256_or_si256(
          _mm256_and_si256(_mm256_srli_epi16(red, 11 - kRed), _mm256_set1_epi16(static_cast<short>(31 << kRed))),
          _mm256_and_si256(_mm256_srli_epi16(green, 11 - kGreen), _mm256_set1_epi16(31 << kGreen))),
      _mm256_srli_epi16(blue, 11));
  Store16(target, _mm256_blendv_epi8(mixed, d, _mm256_cmpeq_epi16(s, _mm256_setzero_si256())));
}

template <bool Is565>
KAZE_AVX2 void BlendRowAvx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  const Weights16 w = MakeWeights16(weights);
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) Blend16<Is565>(target + i, source + i, w);
  if (i == count) return;
  Tail16 tail(target + i, source + i, count - i);
  Blend16<Is565>(tail.target, tail.source, w);
  tail.WriteBack(target + i);
}

}  // namespace

KAZE_AVX2 void DimRowAvx2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask) {
  const __m256i mask = _mm256_set1_epi16(static_cast<short>(halfMask));
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) Dim16(target + i, source + i, mask);
  if (i == count) return;
  Tail16 tail(target + i, source + i, count - i);
  Dim16(tail.target, tail.source, mask);
  tail.WriteBack(target + i);
}

KAZE_AVX2 void DarkenRowAvx2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]) {
  __m256i f[3], s[3];
  for (int c = 0; c < 3; ++c) {
    f[c] = _mm256_set1_epi16(static_cast<short>(fields[c]));
    s[c] = _mm256_set1_epi16(static_cast<short>(steps[c]));
  }
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) Darken16(row + i, f, s);
  if (i == count) return;
  Tail16 tail(row + i, nullptr, count - i);
  Darken16(tail.target, f, s);
  tail.WriteBack(row + i);
}

KAZE_AVX2 void BlendRow565Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowAvx2<true>(target, source, count, weights);
}

KAZE_AVX2 void BlendRow555Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowAvx2<false>(target, source, count, weights);
}

// ---- AVX-512BW --------------------------------------------------------------

#define KAZE_AVX512 __attribute__((target("avx512bw")))

namespace {

// The pixels of a 32-pixel step that lie in the row.
KAZE_AVX512 inline __mmask32 InRow(int32_t left) { return left >= 32 ? ~__mmask32{0} : (__mmask32{1} << left) - 1; }

struct Weights32 {
  __m512i inverse, alpha, bias, five;
};

KAZE_AVX512 inline __m512i Mix32(__m512i sc, __m512i dc, const Weights32& w) {
  return _mm512_add_epi16(_mm512_add_epi16(_mm512_mullo_epi16(sc, w.alpha), _mm512_mullo_epi16(dc, w.inverse)), w.bias);
}

template <int Shift>
KAZE_AVX512 inline __m512i Channel32(__m512i p, __m512i five) {
  if constexpr (Shift == 11) return _mm512_srli_epi16(p, Shift);
  return _mm512_and_si512(_mm512_srli_epi16(p, Shift), five);
}

// 0xEA: (a AND b) OR c, one instruction.
KAZE_AVX512 inline __m512i AndOr(__m512i a, __m512i b, __m512i c) { return _mm512_ternarylogic_epi32(a, b, c, 0xEA); }

template <bool Is565>
KAZE_AVX512 void BlendRowAvx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  constexpr int kRed = Is565 ? 11 : 10, kGreen = Is565 ? 6 : 5;
  const Weights32 w{_mm512_set1_epi16(static_cast<short>(weights.inverse)),
                    _mm512_set1_epi16(static_cast<short>(weights.alpha)),
                    _mm512_set1_epi16(static_cast<short>(weights.bias)), _mm512_set1_epi16(31)};
  const __m512i redField = _mm512_set1_epi16(static_cast<short>(31 << kRed));
  const __m512i greenField = _mm512_set1_epi16(31 << kGreen);
  for (int32_t i = 0; i < count; i += 32) {
    const __mmask32 inRow = InRow(count - i);
    const __m512i s = _mm512_maskz_loadu_epi16(inRow, source + i), d = _mm512_maskz_loadu_epi16(inRow, target + i);
    const __m512i red = Mix32(Channel32<kRed>(s, w.five), Channel32<kRed>(d, w.five), w);
    const __m512i green = Mix32(Channel32<kGreen>(s, w.five), Channel32<kGreen>(d, w.five), w);
    const __m512i blue = Mix32(_mm512_and_si512(s, w.five), _mm512_and_si512(d, w.five), w);
    const __m512i mixed = AndOr(_mm512_srli_epi16(red, 11 - kRed), redField,
                                AndOr(_mm512_srli_epi16(green, 11 - kGreen), greenField, _mm512_srli_epi16(blue, 11)));
    _mm512_mask_storeu_epi16(target + i, inRow & _mm512_test_epi16_mask(s, s), mixed);
  }
}

}  // namespace

KAZE_AVX512 void DimRowAvx512(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask) {
  const __m512i mask = _mm512_set1_epi16(static_cast<short>(halfMask));
  for (int32_t i = 0; i < count; i += 32) {
    const __mmask32 inRow = InRow(count - i);
    const __m512i s = _mm512_maskz_loadu_epi16(inRow, source + i);
    _mm512_mask_storeu_epi16(target + i, inRow & _mm512_test_epi16_mask(s, s),
                             _mm512_and_si512(_mm512_srli_epi16(s, 1), mask));
  }
}

KAZE_AVX512 void DarkenRowAvx512(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]) {
  __m512i f[3], s[3];
  for (int c = 0; c < 3; ++c) {
    f[c] = _mm512_set1_epi16(static_cast<short>(fields[c]));
    s[c] = _mm512_set1_epi16(static_cast<short>(steps[c]));
  }
  for (int32_t i = 0; i < count; i += 32) {
    const __mmask32 inRow = InRow(count - i);
    const __m512i p = _mm512_maskz_loadu_epi16(inRow, row + i);
    const __m512i red = _mm512_subs_epu16(_mm512_and_si512(p, f[0]), s[0]);
    const __m512i green = _mm512_subs_epu16(_mm512_and_si512(p, f[1]), s[1]);
    const __m512i blue = _mm512_subs_epu16(_mm512_and_si512(p, f[2]), s[2]);
    _mm512_mask_storeu_epi16(row + i, inRow, _mm512_ternarylogic_epi32(red, green, blue, 0xFE));  // a OR b OR c
  }
}

KAZE_AVX512 void BlendRow565Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowAvx512<true>(target, source, count, weights);
}

KAZE_AVX512 void BlendRow555Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowAvx512<false>(target, source, count, weights);
}

}  // namespace pixel_simd

#endif  // KAZE_PIXEL_AVX2
