// The row loops run in fixed chunks of 16 pixels: a loop with a constant
// trip count is one the compiler vectorises at -O2 without target options.
//
// The blend must give the exact double-precision rule's result. Its per-call
// table holds that result for every pair of 5-bit channel values, so looking
// channels up in it is exact. Faster still, for nearly every weight there are
// 11-bit integer weights whose 16-bit result matches the table on all 1024
// pairs; they are searched for once per call and checked against the whole
// table, and the row then runs in 16-bit vector lanes. Where none is found
// (a few weights), the rows use the table.
#include "image/pixel_kernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

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

namespace {

constexpr int32_t kFixedShift = 11;
constexpr int64_t kSearchRadius = 8;

// The bias that makes (dc * inverse + sc * alpha + bias) >> 11 equal the
// table for every pair, if one exists and no sum leaves 16 bits.
bool FitBias(const BlendTable& table, int64_t inverse, int64_t alpha, int64_t* bias) {
  int64_t lowest = 0, highest = INT64_MAX;
  for (int64_t s = 0; s < 32; ++s) {
    for (int64_t d = 0; d < 32; ++d) {
      const int64_t wanted = table.value[s][d];
      const int64_t sum = d * inverse + s * alpha;
      lowest = std::max(lowest, (wanted << kFixedShift) - sum);
      highest = std::min(highest, ((wanted + 1) << kFixedShift) - 1 - sum);
    }
    if (lowest > highest) return false;  // most candidates fail within a few rows
  }
  if (lowest > highest || 31 * (inverse + alpha) + lowest > 0xFFFF) return false;
  *bias = lowest;
  return true;
}

// Tries integer weights in growing squares around the scaled float weights.
void FindFixedWeights(BlendTable* table) {
  const double scale = 1 << kFixedShift;
  const int64_t inverse0 = std::llround(table->inverse * scale), alpha0 = std::llround(table->alpha * scale);
  for (int64_t radius = 0; radius <= kSearchRadius; ++radius) {
    for (int64_t inverse = inverse0 - radius; inverse <= inverse0 + radius; ++inverse) {
      for (int64_t alpha = alpha0 - radius; alpha <= alpha0 + radius; ++alpha) {
        const bool onSquare = std::max(std::abs(inverse - inverse0), std::abs(alpha - alpha0)) == radius;
        int64_t bias = 0;
        if (!onSquare || inverse < 0 || alpha < 0 || !FitBias(*table, inverse, alpha, &bias)) continue;
        table->hasFixedWeights = true;
        table->fixedInverse = static_cast<uint16_t>(inverse);
        table->fixedAlpha = static_cast<uint16_t>(alpha);
        table->fixedBias = static_cast<uint16_t>(bias);
        return;
      }
    }
  }
}

bool IsLayout(const ChannelLayout& layout, int32_t redShift, int32_t greenShift, int32_t blueShift) {
  return layout.redShift == redShift && layout.greenShift == greenShift && layout.blueShift == blueShift &&
         layout.redMax == 31 && layout.greenMax == 31 && layout.blueMax == 31;
}

// One channel of a blend in 16-bit arithmetic with the fixed weights.
template <int32_t Shift>
uint16_t MixChannel(uint16_t s, uint16_t d, uint16_t inverse, uint16_t alpha, uint16_t bias) {
  const auto sc = static_cast<uint16_t>(static_cast<uint16_t>(s >> Shift) & 31);
  const auto dc = static_cast<uint16_t>(static_cast<uint16_t>(d >> Shift) & 31);
  const auto sum = static_cast<uint16_t>(dc * inverse + sc * alpha + bias);
  return static_cast<uint16_t>(sum >> kFixedShift);
}

// One layout's blend in 16-bit lanes with the fixed weights; the shifts are
// constants so that every step stays 16 bits wide.
template <int32_t RedShift, int32_t GreenShift, int32_t BlueShift>
void BlendRowFixed(uint16_t* __restrict target, const uint16_t* __restrict source, int32_t count,
                   const BlendTable& table) {
  const uint16_t inverse = table.fixedInverse, alpha = table.fixedAlpha, bias = table.fixedBias;
  auto pixel = [=](uint16_t s, uint16_t d) -> uint16_t {
    const uint16_t red = MixChannel<RedShift>(s, d, inverse, alpha, bias);
    const uint16_t green = MixChannel<GreenShift>(s, d, inverse, alpha, bias);
    const uint16_t blue = MixChannel<BlueShift>(s, d, inverse, alpha, bias);
    const auto mixed = static_cast<uint16_t>((red << RedShift) | (blue << BlueShift) | (green << GreenShift));
    return s == 0 ? d : mixed;
  };
  int32_t i = 0;
  for (; i + kChunk <= count; i += kChunk)
    for (int32_t j = 0; j < kChunk; ++j) target[i + j] = pixel(source[i + j], target[i + j]);
  for (; i < count; ++i) target[i] = pixel(source[i], target[i]);
}

void BlendRowByTable(uint16_t* __restrict target, const uint16_t* __restrict source, int32_t count,
                     const ChannelLayout& layout, const BlendTable& table) {
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

}  // namespace

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
  FindFixedWeights(&table);
  return table;
}

void BlendRow(uint16_t* target, const uint16_t* source, int32_t count, const ChannelLayout& layout,
              const BlendTable& table) {
  if (!FitsBlendTable(layout)) {
    for (int32_t i = 0; i < count; ++i)
      if (source[i] != 0) target[i] = BlendPixelByRule(source[i], target[i], layout, table.alpha, table.inverse);
  } else if (table.hasFixedWeights && IsLayout(layout, 11, 6, 0)) {
    BlendRowFixed<11, 6, 0>(target, source, count, table);
  } else if (table.hasFixedWeights && IsLayout(layout, 10, 5, 0)) {
    BlendRowFixed<10, 5, 0>(target, source, count, table);
  } else {
    BlendRowByTable(target, source, count, layout, table);
  }
}

void DarkenRow(uint16_t* row, int32_t count, const ChannelLayout& layout, int32_t level) {
  // Each channel is darkened where it sits: its field minus the level moved
  // to the same position, stopping at 0, never touches the other fields.
  const int32_t amount = std::max(level, 0);
  auto field = [](uint32_t max, int32_t shift) { return static_cast<uint16_t>(max << shift); };
  auto step = [amount](uint32_t max, int32_t shift) {
    return static_cast<uint16_t>(static_cast<uint32_t>(std::min<int64_t>(amount, max)) << shift);
  };
  const uint16_t redField = field(layout.redMax, layout.redShift), redStep = step(layout.redMax, layout.redShift);
  const uint16_t greenField = field(layout.greenMax, layout.greenShift),
                 greenStep = step(layout.greenMax, layout.greenShift);
  const uint16_t blueField = field(layout.blueMax, layout.blueShift), blueStep = step(layout.blueMax, layout.blueShift);
  // max(value, by) - by is value - by stopped at 0, in a form the compiler
  // knows as one saturating subtract.
  auto lower = [](uint16_t value, uint16_t by) -> uint16_t {
    return static_cast<uint16_t>(std::max(value, by) - by);
  };
  auto pixel = [=](uint16_t p) -> uint16_t {
    return static_cast<uint16_t>(lower(p & redField, redStep) | lower(p & greenField, greenStep) |
                                 lower(p & blueField, blueStep));
  };
  int32_t i = 0;
  for (; i + kChunk <= count; i += kChunk)
    for (int32_t j = 0; j < kChunk; ++j) row[i + j] = pixel(row[i + j]);
  for (; i < count; ++i) row[i] = pixel(row[i]);
}
