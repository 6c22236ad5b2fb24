// The row loops run in fixed chunks of 16 pixels: a loop with a constant
// trip count is one the compiler vectorises at -O2 without target options.
// The blend looks each channel up in a table that holds the exact rule's
// result for every pair of 5-bit values, so it is as exact as the rule and
// costs no floating point per pixel.
#include "image/pixel_kernels.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kChunk = 16;

uint32_t Channel(uint32_t pixel, int32_t shift, uint32_t max) { return (pixel >> shift) & max; }

bool FitsBlendTable(const ChannelLayout& layout) {
  return layout.redMax < 32 && layout.greenMax < 32 && layout.blueMax < 32;
}

uint16_t BlendPixelByRule(uint16_t s, uint16_t d, const ChannelLayout& l, float alpha, float inverse) {
  const uint32_t red = BlendChannel(Channel(s, l.redShift, l.redMax), Channel(d, l.redShift, l.redMax), alpha, inverse);
  const uint32_t green =
      BlendChannel(Channel(s, l.greenShift, l.greenMax), Channel(d, l.greenShift, l.greenMax), alpha, inverse);
  const uint32_t blue =
      BlendChannel(Channel(s, l.blueShift, l.blueMax), Channel(d, l.blueShift, l.blueMax), alpha, inverse);
  return static_cast<uint16_t>((red << l.redShift) | (blue << l.blueShift) | (green << l.greenShift));
}

}  // namespace

ChannelLayout Layout565() { return ChannelLayout{11, 6, 0, 31, 31, 31, 0x7BCF}; }
ChannelLayout Layout555() { return ChannelLayout{10, 5, 0, 31, 31, 31, 0x3DEF}; }

void DimRow(uint16_t* __restrict target, const uint16_t* __restrict source, int32_t count, uint16_t halfMask) {
  int32_t i = 0;
  for (; i + kChunk <= count; i += kChunk) {
    for (int32_t j = 0; j < kChunk; ++j) {
      const uint16_t s = source[i + j];
      const uint16_t dimmed = static_cast<uint16_t>((s >> 1) & halfMask);
      target[i + j] = s == 0 ? target[i + j] : dimmed;
    }
  }
  for (; i < count; ++i)
    if (source[i] != 0) target[i] = static_cast<uint16_t>((source[i] >> 1) & halfMask);
}

uint32_t BlendChannel(uint32_t sourceChannel, uint32_t targetChannel, float alpha, float inverse) {
  const double mixed = static_cast<double>(targetChannel) * inverse + static_cast<double>(sourceChannel) * alpha;
  return static_cast<uint32_t>(static_cast<int64_t>(mixed));  // toward zero
}

BlendTable MakeBlendTable(float alpha) {
  // Weights outside 0..1 would carry a channel into its neighbour; the
  // callers never pass them, and a stray one is held at the nearest end.
  if (!(alpha >= 0.0f)) alpha = 0.0f;
  if (alpha > 1.0f) alpha = 1.0f;
  BlendTable table;
  table.alpha = alpha;
  table.inverse = static_cast<float>(1.0 - alpha);
  for (uint32_t s = 0; s < 32; ++s)
    for (uint32_t d = 0; d < 32; ++d)
      table.value[s][d] = static_cast<uint8_t>(std::min<uint32_t>(BlendChannel(s, d, table.alpha, table.inverse), 31));
  return table;
}

void BlendRow(uint16_t* __restrict target, const uint16_t* __restrict source, int32_t count,
              const ChannelLayout& layout, const BlendTable& table) {
  if (!FitsBlendTable(layout)) {
    for (int32_t i = 0; i < count; ++i)
      if (source[i] != 0) target[i] = BlendPixelByRule(source[i], target[i], layout, table.alpha, table.inverse);
    return;
  }
  const int32_t rs = layout.redShift, gs = layout.greenShift, bs = layout.blueShift;
  const uint32_t rm = layout.redMax, gm = layout.greenMax, bm = layout.blueMax;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t s = source[i];
    if (s == 0) continue;
    const uint32_t d = target[i];
    const uint32_t red = table.value[(s >> rs) & rm][(d >> rs) & rm];
    const uint32_t green = table.value[(s >> gs) & gm][(d >> gs) & gm];
    const uint32_t blue = table.value[(s >> bs) & bm][(d >> bs) & bm];
    target[i] = static_cast<uint16_t>((red << rs) | (blue << bs) | (green << gs));
  }
}

void DarkenRow(uint16_t* row, int32_t count, const ChannelLayout& layout, int32_t level) {
  const uint16_t amount = static_cast<uint16_t>(std::clamp(level, 0, 0xFFFF));
  const int32_t rs = layout.redShift, gs = layout.greenShift, bs = layout.blueShift;
  const uint16_t rm = static_cast<uint16_t>(layout.redMax), gm = static_cast<uint16_t>(layout.greenMax),
                 bm = static_cast<uint16_t>(layout.blueMax);
  auto darken = [amount](uint16_t channel) -> uint16_t {
    return channel > amount ? static_cast<uint16_t>(channel - amount) : uint16_t{0};
  };
  auto pixel = [&](uint16_t p) -> uint16_t {
    const uint16_t red = darken(static_cast<uint16_t>((p >> rs) & rm));
    const uint16_t green = darken(static_cast<uint16_t>((p >> gs) & gm));
    const uint16_t blue = darken(static_cast<uint16_t>((p >> bs) & bm));
    return static_cast<uint16_t>((red << rs) | (blue << bs) | (green << gs));
  };
  int32_t i = 0;
  for (; i + kChunk <= count; i += kChunk)
    for (int32_t j = 0; j < kChunk; ++j) row[i + j] = pixel(row[i + j]);
  for (; i < count; ++i) row[i] = pixel(row[i]);
}
