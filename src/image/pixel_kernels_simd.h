// The vector forms of the pixel row loops, for x86-64 only: SSE2 (every
// x86-64 processor has it), AVX2 and AVX-512BW (chosen at run time, when
// the processor has them). pixel_kernels.cpp picks among them and keeps the plain loops
// that define the results; these must equal them bit for bit.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#define KAZE_PIXEL_SSE2 1
// AVX2 and AVX-512 need per-function target attributes (GCC, clang). Not
// on Windows: GCC there cannot align the stack to 32 bytes, so a spilled
// 256-bit register may fault.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define KAZE_PIXEL_AVX2 1
#endif
#endif

#if defined(KAZE_PIXEL_SSE2)

namespace pixel_simd {

// The widest vectors the processor runs, asked once: 0 SSE2, 1 AVX2,
// 2 AVX-512BW.
int WidestVectors();

// The blend's integer weights: (dc * inverse + sc * alpha + bias) >> 11.
struct FixedWeights {
  uint16_t inverse, alpha, bias;
};

// Each of these runs a whole row, tail included.
void DimRowSse2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);
void DarkenRowSse2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]);
void BlendRow565Sse2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void BlendRow555Sse2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);

#if defined(KAZE_PIXEL_AVX2)
void DimRowAvx2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);
void DarkenRowAvx2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]);
void BlendRow565Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void BlendRow555Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void DimRowAvx512(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);
void DarkenRowAvx512(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]);
void BlendRow565Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void BlendRow555Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
#endif

}  // namespace pixel_simd

#endif
