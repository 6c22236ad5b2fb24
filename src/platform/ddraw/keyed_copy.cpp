// Pictures with a colour key are mostly long runs of drawn pixels and long
// runs of keyed ones, so the vector forms look at a step's key mask first:
// nothing keyed is a plain store, everything keyed is no store at all, and
// only a mixed step reads the target to merge.
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

bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
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

#endif

void CopyKeyed(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
#if defined(__x86_64__)
  if (HasAvx2()) return CopyKeyedAvx2(to, from, count, key);
  CopyKeyedSse2(to, from, count, key);
#else
  CopyKeyedPlain(to, from, count, key);
#endif
}

}  // namespace kaze::platform
