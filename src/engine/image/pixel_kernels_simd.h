// The wide vector forms of the pixel row loops, for x86-64: AVX2 and
// AVX-512BW, chosen at run time when the processor has them (the plain
// loops of pixel_kernels.cpp, which define the results, already run in
// SSE2, the x86-64 baseline). These must equal them bit for bit.
#pragma once

#include <cstdint>

// They need per-function target attributes (GCC, clang). Not on Windows:
// GCC there cannot align the stack to 32 bytes, so a spilled 256-bit
// register may fault.
#if (defined(__x86_64__) || defined(_M_X64)) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define KAZE_PIXEL_AVX2 1
#endif

#if defined(KAZE_PIXEL_AVX2)

namespace pixel_simd {

// The widest vectors the processor runs, asked once: 0 SSE2 (none of
// these), 1 AVX2, 2 AVX-512BW.
int WidestVectors();

// The blend's integer weights: (dc * inverse + sc * alpha + bias) >> 11.
struct FixedWeights {
  uint16_t inverse, alpha, bias;
};

// Each of these runs a whole row, its last pixels included.
void DimRowAvx2(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);
void DarkenRowAvx2(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]);
void BlendRow565Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void BlendRow555Avx2(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void DimRowAvx512(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);
void DarkenRowAvx512(uint16_t* row, int32_t count, const uint16_t fields[3], const uint16_t steps[3]);
void BlendRow565Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);
void BlendRow555Avx512(uint16_t* target, const uint16_t* source, int32_t count, FixedWeights weights);

}  // namespace pixel_simd

#endif
