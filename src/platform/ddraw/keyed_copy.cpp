// The plain copy runs in fixed chunks of 16 pixels, which the compiler
// turns into vector compares and selects at -O2 without target options
// (SSE2 on every x86-64). Where the processor has AVX2, a step is 16 pixels
// wide; with AVX-512BW it is 32 and stores under the key mask itself, so
// the target is never read.
#include "platform/ddraw/keyed_copy.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kaze::platform {

void CopyKeyedPlain(uint16_t* __restrict to, const uint16_t* __restrict from, int64_t count, uint16_t key) {
  constexpr int64_t kChunk = 16;
  int64_t i = 0;
  for (; i + kChunk <= count; i += kChunk) {
    for (int64_t j = 0; j < kChunk; ++j) {
      const uint16_t pixel = from[i + j];
      to[i + j] = pixel == key ? to[i + j] : pixel;
    }
  }
  for (; i < count; ++i)
    if (from[i] != key) to[i] = from[i];
}

#if defined(__x86_64__)

__attribute__((target("avx2"))) void CopyKeyedAvx2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
  const __m256i keys = _mm256_set1_epi16(static_cast<short>(key));
  int64_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i));
    auto* out = reinterpret_cast<__m256i*>(to + i);
    _mm256_storeu_si256(out, _mm256_blendv_epi8(pixels, _mm256_loadu_si256(out), _mm256_cmpeq_epi16(pixels, keys)));
  }
  CopyKeyedPlain(to + i, from + i, count - i, key);
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
    return VectorWidth::Baseline;
  }();
  return widest;
}

#endif

void CopyKeyed(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key) {
#if defined(__x86_64__)
  switch (WidestVectors()) {
    case VectorWidth::Avx512:
      return CopyKeyedAvx512(to, from, count, key);
    case VectorWidth::Avx2:
      return CopyKeyedAvx2(to, from, count, key);
    case VectorWidth::Baseline:
      break;
  }
#endif
  CopyKeyedPlain(to, from, count, key);
}

}  // namespace kaze::platform
