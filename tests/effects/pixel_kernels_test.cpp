// The pixel loops of the dimmed draw, the blended draw and the darkening on
// plain rows, against hand-computed pixels of both display formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "image/pixel_kernels.h"

namespace {

using Row = std::vector<uint16_t>;

Row Darkened(Row row, const ChannelLayout& layout, int32_t level) {
  DarkenRow(row.data(), static_cast<int32_t>(row.size()), layout, level);
  return row;
}

TEST(Dim, HalvesEveryChannelAndSkipsBlackSourcePixels) {
  Row target{0x1234, 0x1234, 0x1234, 0x1234};
  const Row source{0xFFFF, 0x0000, 0x0001, 0xF800};
  DimRow(target.data(), source.data(), 4, 0x7BCF);
  EXPECT_EQ(target, (Row{0x7BCF, 0x1234, 0x0000, 0x7800}));

  Row target555{0x1111};
  const Row white555{0x7FFF};
  DimRow(target555.data(), white555.data(), 1, 0x3DEF);
  EXPECT_EQ(target555, Row{0x3DEF});
}

TEST(Dim, LongRowsGiveThePerPixelResultEverywhere) {
  std::mt19937 random(7);
  for (int32_t count : {1, 15, 16, 17, 40, 640}) {
    Row source(count), target(count);
    for (auto& p : source) p = random() % 3 == 0 ? 0 : static_cast<uint16_t>(random());
    for (auto& p : target) p = static_cast<uint16_t>(random());
    Row expected = target;
    for (int32_t i = 0; i < count; ++i)
      if (source[i] != 0) expected[i] = static_cast<uint16_t>((source[i] >> 1) & 0x7BCF);
    DimRow(target.data(), source.data(), count, 0x7BCF);
    EXPECT_EQ(target, expected) << count;
  }
}

TEST(Blend, WeightOneCopiesTheSourceAndWeightZeroKeepsTheTarget) {
  const ChannelLayout layout = Layout565();
  const Row source{0xFFFF, 0x1234, 0x0000};
  Row target{0x0000, 0xABCD, 0x5555};
  BlendRow(target.data(), source.data(), 3, layout, MakeBlendTable(1.0f));
  EXPECT_EQ(target, (Row{0xFFDF, 0x1234 & 0xFFDF, 0x5555}));  // green's lowest bit cleared

  Row kept{0xFFFF, 0xABCD};
  BlendRow(kept.data(), source.data(), 2, layout, MakeBlendTable(0.0f));
  EXPECT_EQ(kept, (Row{0xFFDF, 0xABCD & 0xFFDF}));
}

TEST(Blend, InBetweenWeightsMixEachChannelAndTruncate) {
  // Red 31 over blue 31 at one half: both become 15 (15.5 truncated).
  Row target{0x001F};
  const Row red{0xF800};
  BlendRow(target.data(), red.data(), 1, Layout565(), MakeBlendTable(0.5f));
  EXPECT_EQ(target, Row{(15 << 11) | 15});

  // White over black at a quarter, 5-5-5: every channel 31 * 0.25 = 7.75 -> 7.
  Row black{0x0000};
  const Row white{0x7FFF};
  BlendRow(black.data(), white.data(), 1, Layout555(), MakeBlendTable(0.25f));
  EXPECT_EQ(black, Row{(7 << 10) | (7 << 5) | 7});
}

TEST(Blend, FloatWeightsThatSumBelowOneDarkenAPixelBlendedWithItself) {
  // 0.1f + float(1 - 0.1f) is just below 1, so 31 * that truncates to 30:
  // the rule's exact double arithmetic, which the table must keep.
  const float alpha = 0.1f;
  EXPECT_EQ(BlendChannel(31, 31, alpha, static_cast<float>(1.0 - alpha)), 30u);
  Row target{0xFFFF};
  const Row source{0xFFFF};
  BlendRow(target.data(), source.data(), 1, Layout565(), MakeBlendTable(alpha));
  EXPECT_EQ(target, Row{(30 << 11) | (30 << 6) | 30});
}

// Rows in which red and green each meet every pair of channel values.
struct PairRows {
  Row source, target;
  explicit PairRows(const ChannelLayout& layout) {
    for (uint32_t k = 0; k < 1024; ++k) {
      const uint32_t a = k / 32, b = k % 32, c = (k * 7) % 32;
      source.push_back(static_cast<uint16_t>((a << layout.redShift) | (b << layout.greenShift) | (c << layout.blueShift)));
      target.push_back(static_cast<uint16_t>((b << layout.redShift) | (a << layout.greenShift) | (c << layout.blueShift)));
    }
  }
};

Row BlendedByRule(const PairRows& rows, const ChannelLayout& layout, float alpha) {
  const float inverse = static_cast<float>(1.0 - alpha);
  Row expected = rows.target;
  for (size_t i = 0; i < expected.size(); ++i) {
    const uint16_t s = rows.source[i], d = rows.target[i];
    if (s == 0) continue;
    auto channel = [&](int32_t shift) { return BlendChannel((s >> shift) & 31, (d >> shift) & 31, alpha, inverse) << shift; };
    expected[i] = static_cast<uint16_t>(channel(layout.redShift) | channel(layout.greenShift) | channel(layout.blueShift));
  }
  return expected;
}

TEST(Blend, EveryPairOfChannelValuesMatchesTheRuleAtEveryWeightOnBothFormats) {
  std::vector<float> weights;
  for (float alpha = 0.1f; alpha <= 1.0f; alpha = static_cast<float>(static_cast<double>(alpha) + 0.01)) weights.push_back(alpha);
  for (float alpha = 0.1f; alpha <= 1.0f; alpha = static_cast<float>(static_cast<double>(alpha) + 0.02)) weights.push_back(alpha);
  for (int i = 0; i <= 1000; ++i) weights.push_back(static_cast<float>(i) / 1000.0f);
  weights.push_back(1e-6f);
  int fixedPath = 0, tablePath = 0;
  for (const ChannelLayout& layout : {Layout565(), Layout555()}) {
    const PairRows rows(layout);
    for (float alpha : weights) {
      const BlendTable table = MakeBlendTable(alpha);
      (table.hasFixedWeights ? fixedPath : tablePath) += 1;
      Row target = rows.target;
      BlendRow(target.data(), rows.source.data(), static_cast<int32_t>(target.size()), layout, table);
      ASSERT_EQ(target, BlendedByRule(rows, layout, alpha)) << "alpha " << alpha;
    }
  }
  EXPECT_GT(fixedPath, 0);  // both ways of computing were checked
  EXPECT_GT(tablePath, 0);
}

TEST(Darken, LevelsZeroOneThirtyOneAndThirtyTwoOn565) {
  const ChannelLayout layout = Layout565();
  const Row white{0xFFFF, 0x0841};  // white, and red 1, green 1, blue 1
  EXPECT_EQ(Darkened(white, layout, 0), (Row{0xFFDF, 0x0841 & 0xFFDF}));
  EXPECT_EQ(Darkened(white, layout, 1), (Row{(30 << 11) | (30 << 6) | 30, 0x0000}));
  EXPECT_EQ(Darkened(white, layout, 31), (Row{0, 0}));
  EXPECT_EQ(Darkened(white, layout, 32), (Row{0, 0}));
  // Out-of-range levels stay within the channels: huge is black, negative is 0.
  EXPECT_EQ(Darkened(white, layout, 100000), (Row{0, 0}));
  EXPECT_EQ(Darkened(white, layout, -3), Darkened(white, layout, 0));
}

TEST(Darken, LevelsZeroOneThirtyOneAndThirtyTwoOn555) {
  const ChannelLayout layout = Layout555();
  const Row pixels{0x7FFF, 0x1234, 0xFFFF};
  EXPECT_EQ(Darkened(pixels, layout, 0), (Row{0x7FFF, 0x1234, 0x7FFF}));  // the unused top bit goes
  EXPECT_EQ(Darkened(pixels, layout, 1),
            (Row{(30 << 10) | (30 << 5) | 30, (3 << 10) | (16 << 5) | 19, (30 << 10) | (30 << 5) | 30}));
  EXPECT_EQ(Darkened(pixels, layout, 31), (Row{0, 0, 0}));
  EXPECT_EQ(Darkened(pixels, layout, 32), (Row{0, 0, 0}));
}

TEST(Darken, EveryPixelOfALongRowLosesTheLevelInEachChannel) {
  const ChannelLayout layout = Layout565();
  Row row(643);
  for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint16_t>(i * 101);
  const Row darkened = Darkened(row, layout, 5);
  for (size_t i = 0; i < row.size(); ++i) {
    auto channel = [&](uint16_t p, int32_t shift) { return (p >> shift) & 31; };
    for (int32_t shift : {11, 6, 0}) {
      const int32_t before = channel(row[i], shift);
      ASSERT_EQ(channel(darkened[i], shift), before > 5 ? before - 5 : 0) << i;
    }
  }
}

}  // namespace
