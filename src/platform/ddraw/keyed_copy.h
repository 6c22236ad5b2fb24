// The colour-keyed row copy under the blitter: writes `from` over `to`,
// leaving the pixels where `from` holds the key. CopyKeyed runs the widest
// form the processor has; the others are here for the tests, which hold
// every form to the plain one.
#pragma once

#include <cstdint>

namespace kaze::platform {

void CopyKeyed(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);

void CopyKeyedPlain(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);
#if defined(__x86_64__)
// The wider forms run only where WidestVectors() reaches them.
enum class VectorWidth { Baseline, Avx2, Avx512 };
VectorWidth WidestVectors();
void CopyKeyedAvx2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);
void CopyKeyedAvx512(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);  // AVX-512BW
#endif

}  // namespace kaze::platform
