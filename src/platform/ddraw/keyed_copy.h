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
void CopyKeyedSse2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);
// Only where the processor has AVX2 (HasAvx2).
void CopyKeyedAvx2(uint16_t* to, const uint16_t* from, int64_t count, uint16_t key);
bool HasAvx2();
#endif

}  // namespace kaze::platform
