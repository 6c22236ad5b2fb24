// The opening's and the title's test pictures: one colour each, so a frame
// tells which pictures it shows.
#pragma once

#include "support/scene_model.h"
#include "support/scene_data.h"

namespace kaze::test {

constexpr Colour kFirstPicture{31, 24, 16};  // opening\op0010.v, 40x20 at (121, 197)
constexpr Colour kTitleBackground{2, 4, 6};  // opening\op0030.v, full screen
constexpr Colour kTitleColumn{31, 31, 0};    // opening\op0031.v, 20 x kColumnHeight at (514, 0)
constexpr Colour kTitleLine{0, 31, 31};      // opening\op0032.v, 60x20 at (460, 300)
constexpr Colour kClosingLine{31, 0, 31};    // opening\op_free.v, 40x90 at (427, 379)
constexpr Colour kTitleFirst{24, 20, 8};     // main\pp0010.v, 20x248 at (325, 34)
constexpr Colour kTitleSecond{8, 20, 24};    // main\pp0011.v, 20x450 at (295, 34)
constexpr int32_t kColumnHeight = 100;

// Moth frame i (1 to 30); frame 1 is also the backdrop.
inline Colour MothColour(int i) { return Colour{static_cast<uint32_t>(i), static_cast<uint32_t>(31 - i), 9}; }

inline void WriteOpeningData(const SceneData& data, bool withColumn = true) {
  data.Effects();
  data.Picture("opening\\op0010.v", 40, 20, kFirstPicture.Rgb888());
  data.Picture("opening\\op0030.v", 640, 480, kTitleBackground.Rgb888());
  if (withColumn) data.Picture("opening\\op0031.v", 20, kColumnHeight, kTitleColumn.Rgb888());
  data.Picture("opening\\op0032.v", 60, 20, kTitleLine.Rgb888());
  data.Picture("opening\\op_free.v", 40, 90, kClosingLine.Rgb888());
  for (int i = 1; i <= 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    data.Picture(name, 32, 24, MothColour(i).Rgb888());
  }
  data.Picture("main\\pp0010.v", 20, 248, kTitleFirst.Rgb888());
  data.Picture("main\\pp0011.v", 20, 450, kTitleSecond.Rgb888());
}

}  // namespace kaze::test
