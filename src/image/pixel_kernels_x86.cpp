// The pixel row loops in SSE2 (8 pixels a step), AVX2 (16) and AVX-512BW
// (32); the widths are written alike, line for line. A row's last pixels
// (fewer than a step) go through the narrower code, and SSE2's through its
// own vector code on a copy in a small buffer, so there is no scalar
// version to keep in step. AVX-512 stores under a mask: the dimmed draw
// then never reads the target, and rows end in a masked step.
//
// The blend runs each channel in 16-bit lanes: dc * inverse + sc * alpha +
// bias stays below 65536 (the weight search guarantees it), and its top 5
// bits are the channel's new value. On 5-6-5 the red result lands in place
// with one mask, since bits 11 to 15 are where red lives.
#include "image/pixel_kernels_simd.h"

#if defined(KAZE_PIXEL_SSE2)

#include <immintrin.h>

#include <cstring>

namespace pixel_simd {

namespace {

// Runs `step` (one vector step on a target and a source pointer) over the
// last `count` (< Lanes) pixels of a row, through zeroed buffers of a whole
// step; only the target's first `count` pixels are written back.
template <int32_t Lanes, typename Step>
void Tail(uint16_t* target, const uint16_t* source, int32_t count, Step step) {
  if (count <= 0) return;
  uint16_t to[Lanes] = {}, from[Lanes] = {};
  std::memcpy(to, target, static_cast<size_t>(count) * 2);
  if (source != nullptr) std::memcpy(from, source, static_cast<size_t>(count) * 2);
  step(to, from);
  std::memcpy(target, to, static_cast<size_t>(count) * 2);
}

// ---- SSE2 -------------------------------------------------------------------

inline __m128i Load(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint16_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// Dim: when no source pixel of the step is black the target is not read.
inline void Dim8(uint16_t* target, const uint16_t* source, __m128i halfMask) {
  const __m128i s = Load(source);
  const __m128i dimmed = _mm_and_si128(_mm_srli_epi16(s, 1), halfMask);
  const __m128i black = _mm_cmpeq_epi16(s, _mm_setzero_si128());
  if (_mm_movemask_epi8(black) == 0)
    Store(target, dimmed);
  else
    Store(target, Select(black, Load(target), dimmed));
}

inline void Darken8(uint16_t* row, const __m128i fields[3], const __m128i steps[3]) {
  const __m128i p = Load(row);
  const __m128i red = _mm_subs_epu16(_mm_and_si128(p, fields[0]), steps[0]);
  const __m128i green = _mm_subs_epu16(_mm_and_si128(p, fields[1]), steps[1]);
  const __m128i blue = _mm_subs_epu16(_mm_and_si128(p, fields[2]), steps[2]);
  Store(row, _mm_or_si128(_mm_or_si128(red, green), blue));
}

struct Weights8 {
  __m128i inverse, alpha, bias, five;
  explicit Weights8(FixedWeights w)
      : inverse(_mm_set1_epi16(static_cast<short>(w.inverse))),
        alpha(_mm_set1_epi16(static_cast<short>(w.alpha))),
        bias(_mm_set1_epi16(static_cast<short>(w.bias))),
        five(_mm_set1_epi16(31)) {}
  // dc * inverse + sc * alpha + bias; the new channel is its top 5 bits.
  __m128i Mix(__m128i sc, __m128i dc) const {
    return _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(sc, alpha), _mm_mullo_epi16(dc, inverse)), bias);
  }
};

// A 5-bit channel moved down to bit 0 (the top one needs no mask).
template <int Shift>
inline __m128i Channel8(__m128i p, __m128i five) {
  if constexpr (Shift == 11) return _mm_srli_epi16(p, Shift);
  return _mm_and_si128(_mm_srli_epi16(p, Shift), five);
}

template <bool Is565>
inline void Blend8(uint16_t* target, const uint16_t* source, const Weights8& w) {
  constexpr int kRed = Is565 ? 11 : 10, kGreen = Is565 ? 6 : 5;
  const __m128i s = Load(source), d = Load(target);
  const __m128i red = w.Mix(Channel8<kRed>(s, w.five), Channel8<kRed>(d, w.five));
  const __m128i green = w.Mix(Channel8<kGreen>(s, w.five), Channel8<kGreen>(d, w.five));
  const __m128i blue = w.Mix(_mm_and_si128(s, w.five), _mm_and_si128(d, w.five));
  // Each sum's top 5 bits moved down to the channel's place (11 - shift).
  const __m128i mixed = _mm_or_si128(
      _mm_or_si128(_mm_and_si128(_mm_srli_epi16(red, 11 - kRed), _mm_set1_epi16(static_cast<short>(31 << kRed))),
                   _mm_and_si128(_mm_srli_epi16(green, 11 - kGreen), _mm_set1_epi16(31 << kGreen))),
      _mm_srli_epi16(blue, 11));
  Store(target, Select(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, mixed));
}

template <bool Is565>
void BlendRowSse2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  const Weights8 w(weights);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) Blend8<Is565>(target + i, source + i, w);
  Tail<8>(target + i, source + i, count - i, [&](uint16_t* to, const uint16_t* from) { Blend8<Is565>(to, from, w); });
}

}  // namespace

void DimRowSse2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask) {
  const __m128i mask = _mm_set1_epi16(static_cast<short>(halfMask));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) Dim8(target + i, source + i, mask);
  Tail<8>(target + i, source + i, count - i, [&](uint16_t* to, const uint16_t* from) { Dim8(to, from, mask); });
}

void DarkenRowSse2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]) {
  __m128i f[3], s[3];
  for (int c = 0; c < 3; ++c) {
    f[c] = _mm_set1_epi16(static_cast<short>(fields[c]));
    s[c] = _mm_set1_epi16(static_cast<short>(steps[c]));
  }
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) Darken8(row + i, f, s);
  Tail<8>(row + i, nullptr, count - i, [&](uint16_t* to, const uint16_t*) { Darken8(to, f, s); });
}

void BlendRow565Sse2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowSse2<true>(target, source, count, weights);
}

void BlendRow555Sse2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights) {
  BlendRowSse2<false>(target, source, count, weights);
}

// ---- AVX2 -------------------------------------------------------------------
#if defined(KAZE_PIXEL_AVX2)

#define KAZE_AVX2 __attribute__((target("avx2")))

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
  BlendRowSse2<Is565>(target + i, source + i, count - i, weights);
}

}  // namespace

KAZE_AVX2 void DimRowAvx2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask) {
  const __m256i mask = _mm256_set1_epi16(static_cast<short>(halfMask));
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) Dim16(target + i, source + i, mask);
  DimRowSse2(target + i, source + i, count - i, halfMask);
}

KAZE_AVX2 void DarkenRowAvx2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]) {
  __m256i f[3], s[3];
  for (int c = 0; c < 3; ++c) {
    f[c] = _mm256_set1_epi16(static_cast<short>(fields[c]));
    s[c] = _mm256_set1_epi16(static_cast<short>(steps[c]));
  }
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) Darken16(row + i, f, s);
  DarkenRowSse2(row + i, count - i, fields, steps);
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
KAZE_AVX512 inline __mmask32 InRow(int32_t left) {
  return left >= 32 ? ~__mmask32{0} : (__mmask32{1} << left) - 1;
}

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

#else

int WidestVectors() { return 0; }

#endif  // KAZE_PIXEL_AVX2

}  // namespace pixel_simd

#endif  // KAZE_PIXEL_SSE2
