// The per-row loops of the software pixel effects, as pure functions over
// plain 16-bit pixel rows, so that tests and benchmarks can run them without
// any surface. Every channel is handled as a field of at most 5 bits at its
// shift (a 6-bit green as its top 5 bits).
#pragma once

#include <cstdint>

struct ChannelLayout {
  int32_t redShift, greenShift, blueShift;
  uint32_t redMax, greenMax, blueMax;
  uint32_t halfMask;  // per channel, half the channel's maximum at its position
};

// The two 16-bit display formats, as the display device analyses them.
ChannelLayout Layout565();
ChannelLayout Layout555();

// Dimmed draw: every non-black source pixel becomes (s >> 1) & halfMask in
// the target; black source pixels leave the target as it was.
void DimRow(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask);

// The blend rule for one channel: truncate(dc * inverse + sc * alpha),
// computed in double from the 32-bit float weights.
uint32_t BlendChannel(uint32_t sourceChannel, uint32_t targetChannel, float alpha, float inverse);

// The rule's results for every pair of 5-bit channel values, for one
// weight; and, when one exists, 11-bit integer weights that give exactly
// the same results for every pair: (dc * inverse + sc * alpha + bias) >> 11
// in 16 bits, which runs eight pixels at a time.
struct BlendTable {
  float alpha = 0;
  float inverse = 0;
  uint8_t value[32][32] = {};  // [source channel][target channel]
  bool hasFixedWeights = false;
  uint16_t fixedInverse = 0, fixedAlpha = 0, fixedBias = 0;
};
BlendTable MakeBlendTable(float alpha);

// Blended draw: every non-black source pixel is mixed into the target pixel,
// channel by channel, by the table's weight; black source pixels are skipped.
void BlendRow(uint16_t* target, const uint16_t* source, int32_t count, const ChannelLayout& layout,
              const BlendTable& table);

// Darkening: every channel of every pixel loses `level`, down to 0 at least.
// Level 0 rewrites each pixel through its channels (clears bits outside them).
void DarkenRow(uint16_t* row, int32_t count, const ChannelLayout& layout, int32_t level);

// Which loops the three row calls above run: the plain ones (which the
// compiler vectorises for the build's baseline, SSE2 on x86-64), or wider
// vector forms of them where the processor has AVX2 or AVX-512BW. The
// widest available is the default; tests and benchmarks walk through every
// one. Returns false, changing nothing, for one this build or processor lacks.
enum class PixelLoops { Plain, Avx2, Avx512 };
bool UsePixelLoops(PixelLoops loops);
PixelLoops WidestPixelLoops();
