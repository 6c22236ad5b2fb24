// Pictures with a colour key are mostly long runs of drawn pixels and long
// runs of keyed ones. The SSE2 and AVX2 forms look at a step's key mask
// first: nothing keyed is a plain store, everything keyed no store at all,
// and only a mixed step reads the target to merge. AVX-512 stores under the
// mask itself and never reads the target.
#include "platform/ddraw/keyed_copy.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kaze::platform {

void CopyKeyedPlain(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
  for (int64_t i = 0; i < count; ++i)
    if (from[i] != key) to[i] = from[i];
}

#if defined(__x86_64__)

void CopyKeyedSse2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
  const __m128i keys = _mm_set1_epi16(static_cast<short>(key));
  int64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    const __m128i keyed = _mm_cmpeq_epi16(pixels, keys);
    const int mask = _mm_movemask_epi8(keyed);
    auto* out = reinterpret_cast<__m128i*>(to + i);
    if (mask == 0)
      _mm_storeu_si128(out, pixels);
    else if (mask != 0xFFFF)
      _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(keyed, _mm_loadu_si128(out)), _mm_andnot_si128(keyed, pixels)));
  }
  CopyKeyedPlain(to + i, from + i, count - i, key);
}

__attribute__((target("avx2"))) void CopyKeyedAvx2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
  const __m256i keys = _mm256_set1_epi16(static_cast<short>(key));
  int64_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i));
    const __m256i keyed = _mm256_cmpeq_epi16(pixels, keys);
    const auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(keyed));
    auto* out = reinterpret_cast<__m256i*>(to + i);
    if (mask == 0)
      _mm256_storeu_si256(out, pixels);
    else if (mask != 0xFFFFFFFFu)
      _mm256_storeu_si256(out, _mm256_blendv_epi8(pixels, _mm256_loadu_si256(out), keyed));
  }
  CopyKeyedSse2(to + i, from + i, count - i, key);
}

__attribute__((target("avx512bw"))) void CopyKeyedAvx512(uint16_t* to, const uint16_t* from, int64_t count,
                                                         uint16_t key) {
  const __m512i keys = _mm512_set1_epi16(static_cast<short>(key));
  for (int64_t i = 0; i < count; i += 32) {
    const __mmask32 inRow = count - i >= 32 ? ~__mmask32{0} : (__mmask32{1} << (count - i)) - 1;
    const __m512i pixels = _mm512_maskz_loadu_epi16(inRow, from + i);
    _mm512_mask_storeu_epi16(to + i, inRow & _mm512_cmpneq_epi16_mask(pixels, keys), pixels);
  }
}

VectorWidth WidestVectors() {
  static const VectorWidth widest = [] {
    __builtin_cpu_init();  // may run before the library's own constructors
    if (__builtin_cpu_supports("avx512bw")) return VectorWidth::Avx512;
    if (__builtin_cpu_supports("avx2")) return VectorWidth::Avx2;
    return VectorWidth::Sse2;
  }();
  return widest;
}

#endif

void CopyKeyed(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
#if defined(__x86_64__)
  switch (WidestVectors()) {
    case VectorWidth::Avx512: return CopyKeyedAvx512(to, from, count, key);
    case VectorWidth::Avx2: return CopyKeyedAvx2(to, from, count, key);
    case VectorWidth::Sse2: return CopyKeyedSse2(to, from, count, key);
  }
#endif
  CopyKeyedPlain(to, from, count, key);
}

}  // namespace kaze::platform
