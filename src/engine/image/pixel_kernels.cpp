// The plain row loops here define every result. They run in fixed chunks
// of 16 pixels: a loop with a constant trip count is one the compiler
// vectorises at -O2 without target options (SSE2 on every x86-64; written
// out by hand, SSE2 was no faster). Where the processor has AVX2 or
// AVX-512BW, the rows run in the wider forms of pixel_kernels_x86.cpp
// instead, which must equal them bit for bit.
//
// The blend must give the exact double-precision rule's result. Its per-call
// table holds that result for every pair of 5-bit channel values, so looking
// channels up in it is exact. Faster still, for nearly every weight there are
// 11-bit integer weights whose 16-bit result matches the table on all 1024
// pairs; they are searched for once per weight and checked against the
// whole table, and the row then runs in 16-bit vector lanes. Where none is found
// (a few weights), the rows use the table. A table depends on the weight
// alone and the fades use the same few dozen weights again and again, so
// the tables last made are kept.
#include "image/pixel_kernels.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/pixel_kernels_simd.h"

namespace {

constexpr int32_t kChunk = 16;

std::atomic<int> chosenLoops{-1};  // -1: the widest

#if defined(KAZE_PIXEL_AVX2)
bool Running(PixelLoops loops) {
  const int chosen = chosenLoops.load(std::memory_order_relaxed);
  return (chosen < 0 ? WidestPixelLoops() : static_cast<PixelLoops>(chosen)) == loops;
}
#endif

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

PixelLoops WidestPixelLoops() {
#if defined(KAZE_PIXEL_AVX2)
  if (pixel_simd::WidestVectors() == 2) return PixelLoops::Avx512;
  if (pixel_simd::WidestVectors() == 1) return PixelLoops::Avx2;
#endif
  return PixelLoops::Plain;
}

bool UsePixelLoops(PixelLoops loops) {
  if (static_cast<int>(loops) > static_cast<int>(WidestPixelLoops())) return false;
  chosenLoops.store(static_cast<int>(loops));
  return true;
}

namespace {

void DimRowPlain(uint16_t* __restrict target, const uint16_t* __restrict source, int32_t count, uint16_t halfMask) {
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

}  // namespace

void DimRow(uint16_t* target, const uint16_t* source, int32_t count, uint16_t halfMask) {
#if defined(KAZE_PIXEL_AVX2)
  if (Running(PixelLoops::Avx512)) return pixel_simd::DimRowAvx512(target, source, count, halfMask);
  if (Running(PixelLoops::Avx2)) return pixel_simd::DimRowAvx2(target, source, count, halfMask);
#endif
  DimRowPlain(target, source, count, halfMask);
}

uint32_t BlendChannel(uint32_t sourceChannel, uint32_t targetChannel, float alpha, float inverse) {
  const double mixed = static_cast<double>(targetChannel) * inverse + static_cast<double>(sourceChannel) * alpha;
  return static_cast<uint32_t>(static_cast<int64_t>(mixed));  // toward zero
}

namespace {

constexpr int32_t kFixedShift = 11;

// Looks for integer weights whose 16-bit result equals the table for every
// pair of channel values. Candidates are tried in growing squares around
// the scaled float weights. Each candidate narrows the range of biases pair
// by pair until it is empty or every pair fits. The few pairs that lie near
// a rounding edge rule out almost every candidate, so the pairs that ruled
// out one are tried first on the next.
class WeightSearch {
 public:
  explicit WeightSearch(const BlendTable& table) : table_(table) {}

  void Run(BlendTable* result) {
    const double scale = 1 << kFixedShift;
    const int32_t inverse0 = static_cast<int32_t>(std::lround(table_.inverse * scale));
    const int32_t alpha0 = static_cast<int32_t>(std::lround(table_.alpha * scale));
    for (int32_t radius = 0; radius <= kSearchRadius; ++radius) {
      for (int32_t inverse = inverse0 - radius; inverse <= inverse0 + radius; ++inverse) {
        for (int32_t alpha = alpha0 - radius; alpha <= alpha0 + radius; ++alpha) {
          const bool onSquare = std::max(std::abs(inverse - inverse0), std::abs(alpha - alpha0)) == radius;
          int32_t bias = 0;
          if (!onSquare || inverse < 0 || alpha < 0 || !Fits(inverse, alpha, &bias)) continue;
          result->hasFixedWeights = true;
          result->fixedInverse = static_cast<uint16_t>(inverse);
          result->fixedAlpha = static_cast<uint16_t>(alpha);
          result->fixedBias = static_cast<uint16_t>(bias);
          return;
        }
      }
    }
  }

 private:
  static constexpr int32_t kSearchRadius = 12;
  static constexpr int32_t kPairs = 32 * 32;  // pair number: source * 32 + target

  struct Biases {
    int32_t lowest = 0, highest = INT32_MAX;  // no bias below 0: sums stay unsigned
    int32_t lowestPair = -1, highestPair = -1;
    bool Empty() const { return lowest > highest; }
  };

  void Narrow(int32_t pair, int32_t inverse, int32_t alpha, Biases* biases) const {
    const int32_t s = pair / 32, d = pair % 32;
    const int32_t wanted = table_.value[s][d];
    const int32_t sum = d * inverse + s * alpha;
    const int32_t lowest = (wanted << kFixedShift) - sum;
    const int32_t highest = ((wanted + 1) << kFixedShift) - 1 - sum;
    if (lowest > biases->lowest) biases->lowest = lowest, biases->lowestPair = pair;
    if (highest < biases->highest) biases->highest = highest, biases->highestPair = pair;
  }

  bool Fits(int32_t inverse, int32_t alpha, int32_t* bias) {
    Biases biases;
    for (int32_t i = 0; i < criticalCount_ && !biases.Empty(); ++i) Narrow(critical_[i], inverse, alpha, &biases);
    for (int32_t pair = 0; pair < kPairs && !biases.Empty(); ++pair) Narrow(pair, inverse, alpha, &biases);
    if (biases.Empty()) {
      Remember(biases.lowestPair);
      Remember(biases.highestPair);
      return false;
    }
    if (31 * (inverse + alpha) + biases.lowest > 0xFFFF) return false;
    *bias = biases.lowest;
    return true;
  }

  void Remember(int32_t pair) {
    if (pair < 0 || std::find(critical_, critical_ + criticalCount_, pair) != critical_ + criticalCount_) return;
    if (criticalCount_ < kCriticalSize)
      critical_[criticalCount_++] = pair;
    else
      critical_[nextReplaced_++ % kCriticalSize] = pair;
  }

  static constexpr int32_t kCriticalSize = 16;
  const BlendTable& table_;
  int32_t critical_[kCriticalSize] = {};
  int32_t criticalCount_ = 0;
  int32_t nextReplaced_ = 0;
};

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

// Fixed weights on one of the two display formats, in the widest loops.
template <int32_t RedShift, int32_t GreenShift, int32_t BlueShift>
void BlendRowFixedFast(uint16_t* target, const uint16_t* source, int32_t count, const BlendTable& table) {
#if defined(KAZE_PIXEL_AVX2)
  constexpr bool is565 = RedShift == 11;
  const pixel_simd::FixedWeights weights{table.fixedInverse, table.fixedAlpha, table.fixedBias};
  if (Running(PixelLoops::Avx512))
    return is565 ? pixel_simd::BlendRow565Avx512(target, source, count, weights)
                 : pixel_simd::BlendRow555Avx512(target, source, count, weights);
  if (Running(PixelLoops::Avx2))
    return is565 ? pixel_simd::BlendRow565Avx2(target, source, count, weights)
                 : pixel_simd::BlendRow555Avx2(target, source, count, weights);
#endif
  BlendRowFixed<RedShift, GreenShift, BlueShift>(target, source, count, table);
}

BlendTable MakeBlendTableUncached(float alpha) {
  BlendTable table;
  table.alpha = alpha;
  table.inverse = static_cast<float>(1.0 - alpha);
  for (uint32_t s = 0; s < 32; ++s)
    for (uint32_t d = 0; d < 32; ++d)
      table.value[s][d] = static_cast<uint8_t>(std::min<uint32_t>(BlendChannel(s, d, table.alpha, table.inverse), 31));
  WeightSearch(table).Run(&table);
  return table;
}

// The tables last made, found by the weight's bits; a fade's few dozen
// weights fit, and the oldest table makes room for a new one. Only the game
// thread blends, so nothing here is shared between threads.
constexpr uint32_t kKeptTables = 128;
struct KeptBlendTables {
  uint32_t used = 0, next = 0;
  uint32_t bits[kKeptTables] = {};
  BlendTable tables[kKeptTables];
};

const BlendTable& KeptBlendTable(float alpha) {
  static KeptBlendTables kept;
  uint32_t bits = 0;
  std::memcpy(&bits, &alpha, sizeof bits);
  uint32_t* end = kept.bits + kept.used;
  const uint32_t* found = std::find(kept.bits, end, bits);
  if (found != end) return kept.tables[found - kept.bits];
  const uint32_t slot = kept.used < kKeptTables ? kept.used++ : kept.next++ % kKeptTables;
  kept.bits[slot] = bits;
  kept.tables[slot] = MakeBlendTableUncached(alpha);
  return kept.tables[slot];
}

}  // namespace

BlendTable MakeBlendTable(float alpha) {
  // Weights outside 0..1 would carry a channel into its neighbour; the
  // callers never pass them, and a stray one is held at the nearest end.
  if (!(alpha >= 0.0f)) alpha = 0.0f;
  if (alpha > 1.0f) alpha = 1.0f;
  return KeptBlendTable(alpha);
}

void BlendRow(uint16_t* target, const uint16_t* source, int32_t count, const ChannelLayout& layout,
              const BlendTable& table) {
  if (!FitsBlendTable(layout)) {
    for (int32_t i = 0; i < count; ++i)
      if (source[i] != 0) target[i] = BlendPixelByRule(source[i], target[i], layout, table.alpha, table.inverse);
  } else if (table.hasFixedWeights && IsLayout(layout, 11, 6, 0)) {
    BlendRowFixedFast<11, 6, 0>(target, source, count, table);
  } else if (table.hasFixedWeights && IsLayout(layout, 10, 5, 0)) {
    BlendRowFixedFast<10, 5, 0>(target, source, count, table);
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
#if defined(KAZE_PIXEL_AVX2)
  const uint16_t fields[3] = {redField, greenField, blueField}, steps[3] = {redStep, greenStep, blueStep};
  if (Running(PixelLoops::Avx512)) return pixel_simd::DarkenRowAvx512(row, count, fields, steps);
  if (Running(PixelLoops::Avx2)) return pixel_simd::DarkenRowAvx2(row, count, fields, steps);
#endif
  // max(value, by) - by is value - by stopped at 0, in a form the compiler
  // knows as one saturating subtract.
  auto lower = [](uint16_t value, uint16_t by) -> uint16_t { return static_cast<uint16_t>(std::max(value, by) - by); };
  auto pixel = [=](uint16_t p) -> uint16_t {
    return static_cast<uint16_t>(lower(p & redField, redStep) | lower(p & greenField, greenStep) |
                                 lower(p & blueField, blueStep));
  };
  int32_t i = 0;
  for (; i + kChunk <= count; i += kChunk)
    for (int32_t j = 0; j < kChunk; ++j) row[i + j] = pixel(row[i + j]);
  for (; i < count; ++i) row[i] = pixel(row[i]);
}
