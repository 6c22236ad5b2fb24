// The demo set's pictures against the places the scenes draw them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "art_canvas.h"
#include "demo_layout.h"
#include "demo_pictures.h"
#include "support/kaze_run.h"
#include "picture_set.h"
#include "story_text.h"

namespace demo {
namespace {

const std::map<std::string, vimage::RgbPicture>& Set() {
  static const std::map<std::string, vimage::RgbPicture> set = [] {
    std::map<std::string, vimage::RgbPicture> byName;
    for (NamedPicture& named : DrawPictureSet()) byName[named.name] = std::move(named.picture);
    return byName;
  }();
  return set;
}

const vimage::RgbPicture& Picture(const std::string& name) { return Set().at(name); }

uint32_t Pixel(const vimage::RgbPicture& p, int x, int y) { return p.colours[static_cast<size_t>(y) * p.width + x]; }

void ExpectEveryPictureInsideItsPartOfTheScreen() {
  ASSERT_EQ(Set().size(), Placements().size());
  for (const Placement& place : Placements()) {
    SCOPED_TRACE(place.name);
    ASSERT_TRUE(Set().count(place.name));
    const vimage::RgbPicture& p = Picture(place.name);
    ASSERT_GT(p.width, 0);
    ASSERT_GT(p.height, 0);
    const int right = place.x + p.width * place.scale, bottom = place.y + p.height * place.scale;
    switch (place.area) {
      case Area::Screen:
        EXPECT_LE(right, kScreenWidth);
        EXPECT_LE(bottom, kScreenHeight);
        break;
      case Area::Page:
        EXPECT_LE(right, kScreenWidth);
        EXPECT_LE(bottom, kBarTop);
        break;
      case Area::Bar:
        EXPECT_GE(place.y, kBarTop);
        EXPECT_LE(right, kScreenWidth);
        EXPECT_LE(bottom, kScreenHeight);
        break;
      case Area::Unplaced:
        break;
    }
  }
  // The moth's stretched frames land on (160, 160) as 320x240.
  EXPECT_EQ(Picture("anime\\MothA002.v").width * 2, 320);
  EXPECT_EQ(Picture("anime\\MothA002.v").height * 2, 240);
  EXPECT_EQ(Picture("anime\\MothA001.v").width * 2, kScreenWidth);
}

void ExpectStoryLinesBetweenTheirNeighboursAndAboveTheBar() {
  for (int page = 1; page <= kStoryPages; ++page) {
    const auto& places = StoryLinePlaces(page);
    ASSERT_EQ(places.size(), StoryLines(page).size()) << "page " << page;
    for (size_t i = 0; i < places.size(); ++i) {
      const std::string name = StoryLineName(page, static_cast<int>(i) + 1);
      SCOPED_TRACE(name);
      const vimage::RgbPicture& line = Picture(name);
      // Lines run right to left: each must stop short of the one before it.
      const int limit = i == 0 ? kScreenWidth : places[i - 1].x;
      EXPECT_LE(places[i].x + line.width, limit);
      EXPECT_LE(places[i].y + line.height, kBarTop);
      // Lettering: the column holds more than a handful of colours.
      std::set<uint32_t> colours(line.colours.begin(), line.colours.end());
      EXPECT_GT(colours.size(), 20u);
    }
  }
}

void ExpectKeysOnlyWhereTransparentInBothFormats() {
  for (const Placement& place : Placements()) {
    if (!place.keyed) continue;
    SCOPED_TRACE(place.name);
    const vimage::RgbPicture& p = Picture(place.name);
    const uint32_t key = Pixel(p, 0, 0);
    // Black: the blended fade-in skips the same pixels that the key hides.
    EXPECT_EQ(key, 0u);
    size_t drawn = 0;
    for (uint32_t colour : p.colours) {
      const bool key565 = To565(colour) == To565(key), key555 = To555(colour) == To555(key);
      EXPECT_EQ(key565, key555);
      if (key565 || key555) {
        ASSERT_EQ(colour, key);
      } else {
        ++drawn;
      }
    }
    EXPECT_GT(drawn, p.colours.size() / 50);
    EXPECT_LT(drawn, p.colours.size() / 2);
  }
}

void ExpectBarButtonsToFillTheirHitRectangles() {
  for (const BarButton& button : BarButtons()) {
    for (const char* name : {button.normal, button.hot}) {
      SCOPED_TRACE(name);
      const vimage::RgbPicture& p = Picture(name);
      EXPECT_EQ(p.width, button.hit.right - button.hit.left);
      EXPECT_EQ(p.height, button.hit.bottom - button.hit.top);
      EXPECT_LE(button.y + 1 + p.height, kScreenHeight);
    }
    if (std::string(button.normal) != button.hot) {
      EXPECT_NE(Picture(button.normal).colours, Picture(button.hot).colours) << button.normal;
    }
  }
  EXPECT_NE(Picture("system\\melodya.v").colours, Picture("system\\melodyb.v").colours);
  // Everything on the bar shows at once: no two pieces may overlap, pressed
  // ones drawn a pixel further included (two forms of one piece share a place).
  for (const Placement& a : Placements()) {
    for (const Placement& b : Placements()) {
      if (a.area != Area::Bar || b.area != Area::Bar || &a == &b || (a.x == b.x && a.y == b.y)) continue;
      const vimage::RgbPicture &pa = Picture(a.name), &pb = Picture(b.name);
      const bool apart = a.x + pa.width + 1 <= b.x || b.x + pb.width + 1 <= a.x || a.y + pa.height + 1 <= b.y ||
                         b.y + pb.height + 1 <= a.y;
      EXPECT_TRUE(apart) << a.name << " and " << b.name;
    }
  }
  // The dimmed pictures need something to dim: mostly non-black.
  for (const char* name : {"system\\loada.v", "system\\savea.v", "system\\backa.v", "system\\nexta.v"}) {
    const vimage::RgbPicture& p = Picture(name);
    EXPECT_GT(std::count_if(p.colours.begin(), p.colours.end(), [](uint32_t c) { return To555(c) != 0; }),
              static_cast<long>(p.colours.size() / 2))
        << name;
  }
}

void ExpectUnrolledPicturesToHoldTheRowsTheirScenesUnroll() {
  EXPECT_EQ(Picture("main\\pp0010.v").height, 248);  // stands complete at 248 rows
  EXPECT_EQ(Picture("opening\\op_free.v").height, 82);
  // The second title column unrolls to 450 rows from y 34: the rows past
  // the screen's foot are there but black.
  const vimage::RgbPicture& column = Picture("main\\pp0011.v");
  ASSERT_EQ(column.height, 450);
  for (int y = kScreenHeight - 34; y < column.height; ++y) {
    for (int x = 0; x < column.width; ++x) EXPECT_EQ(Pixel(column, x, y), 0u);
  }
  // The title column of the opening stops above the emblem that blends in below it.
  EXPECT_LE(FindPlacement("opening\\op0031.v")->y + Picture("opening\\op0031.v").height,
            FindPlacement("opening\\op0032.v")->y);
}

void ExpectMothFramesToShowTheBackdropAroundTheMoth() {
  const vimage::RgbPicture& backdrop = Picture("anime\\MothA001.v");
  const Placement& frameAt = *FindPlacement("anime\\MothA002.v");
  const int bx = frameAt.x / frameAt.scale, by = frameAt.y / frameAt.scale;
  for (int i = 2; i <= 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    const vimage::RgbPicture& frame = Picture(name);
    for (int x = 0; x < frame.width; ++x) {
      ASSERT_EQ(Pixel(frame, x, 0), Pixel(backdrop, bx + x, by)) << name;
      ASSERT_EQ(Pixel(frame, x, frame.height - 1), Pixel(backdrop, bx + x, by + frame.height - 1)) << name;
    }
    for (int y = 0; y < frame.height; ++y) {
      ASSERT_EQ(Pixel(frame, 0, y), Pixel(backdrop, bx, by + y)) << name;
      ASSERT_EQ(Pixel(frame, frame.width - 1, y), Pixel(backdrop, bx + frame.width - 1, by + y)) << name;
    }
  }
  EXPECT_NE(Picture("anime\\MothA002.v").colours, Picture("anime\\MothA010.v").colours);
}

// Drawing the set takes a moment, so each test checks several rules.
TEST(DemoPictures, SizesFollowWhereTheScenesDrawEachPicture) {
  ExpectEveryPictureInsideItsPartOfTheScreen();
  ExpectStoryLinesBetweenTheirNeighboursAndAboveTheBar();
  ExpectUnrolledPicturesToHoldTheRowsTheirScenesUnroll();
  ExpectBarButtonsToFillTheirHitRectangles();
}

TEST(DemoPictures, PixelsSuitTheirDraws) {
  ExpectKeysOnlyWhereTransparentInBothFormats();
  ExpectMothFramesToShowTheBackdropAroundTheMoth();
}

TEST(DemoPictures, WritesEveryFileUnderItsNameWithinTheSizeBudget) {
  kaze::test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WritePictures(dir.path() / "Data", error)) << error;
  uintmax_t total = 0;
  for (const Placement& place : Placements()) {
    const size_t slash = place.name.find('\\');
    const auto file = dir.path() / "Data" / place.name.substr(0, slash) / place.name.substr(slash + 1);
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    total += std::filesystem::file_size(file);
  }
  EXPECT_LT(total, 17u * 1024 * 1024);
}

}  // namespace
}  // namespace demo
