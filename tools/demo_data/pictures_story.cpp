// The story's pages (backgrounds, the framed lamp of page 3, the lamp's
// flicker on page 6), their text lines set in vertical columns over the
// page, the title columns and the closing information screen.
#include <cmath>
#include <cstdio>

#include "art_nature.h"
#include "demo_layout.h"
#include "picture_set.h"
#include "story_text.h"

namespace demo {

namespace {

constexpr int kColumn = 24;    // every line column is this wide
constexpr int kTextSize = 20;  // pixels per em of the story's text
const Colour kStoryPaper{240, 234, 218};
const Colour kInk{36, 32, 46};

// A page as the screen shows it: its picture placed where the page draws
// it, black around, and the text colour that reads on it.
struct Page {
  explicit Page(Colour ink = kStoryPaper) : screen(kScreenWidth, kScreenHeight), text(ink) {}
  Canvas screen;
  Colour text;
};

Canvas MorningMeadow() {
  Canvas c(kScreenWidth, kBarTop);
  PaintSky(c, {{0, {96, 150, 214}}, {0.4f, {170, 206, 236}}, {0.55f, {232, 236, 228}}}, 101);
  PaintClouds(c, 20, 200, {252, 252, 248}, 0.8f, 102);
  PaintHills(c, 236, 20, 200, {134, 164, 160}, 103);
  PaintGrass(c, {250, -0.55f, {130, 176, 96}, {44, 100, 46}, {214, 222, 150}, 4600, 66}, 104);
  PaintWindStreaks(c, 14, 260, 440, {240, 246, 226}, 0.3f, 105);
  // A pale band of morning haze where the text stands.
  Veil(c, 500, -200, 900, 700, 70, {246, 244, 234}, 0.7f);
  return c;
}

Canvas EveningField() {
  Canvas c(kScreenWidth, kBarTop);
  PaintSky(c, {{0, {56, 46, 96}}, {0.3f, {150, 96, 130}}, {0.5f, {236, 150, 100}}, {0.58f, {250, 200, 130}}}, 111);
  Glow(c, 470, 248, 200, {255, 190, 120}, 0.5f);
  FillDisc(c, 470, 250, 20, {255, 222, 170});
  PaintClouds(c, 60, 220, {200, 110, 120}, 0.5f, 112);
  PaintHills(c, 252, 14, 160, {70, 50, 80}, 113);
  PaintGrass(c, {262, -0.6f, {90, 66, 80}, {28, 22, 32}, {220, 150, 110}, 4200, 70}, 114);
  Veil(c, -300, -200, 180, 700, 80, {26, 20, 36}, 0.62f);
  return c;
}

Canvas NightField(bool withLamp) {
  Canvas c(kScreenWidth, kBarTop);
  PaintSky(c, {{0, {6, 10, 30}}, {0.6f, {22, 34, 74}}, {0.75f, {44, 54, 94}}}, 121);
  PaintStars(c, 420, 300, 122);
  PaintHills(c, 318, 20, 180, {20, 26, 46}, 123);
  if (withLamp) Glow(c, 330, 300, 40, {255, 200, 130}, 0.6f), FillDisc(c, 330, 300, 2.2f, {255, 236, 190});
  PaintGrass(c, {336, -0.4f, {26, 34, 48}, {10, 14, 20}, {50, 66, 84}, 2600, 56}, 124);
  Veil(c, 500, -200, 900, 700, 70, {8, 10, 24}, 0.5f);
  return c;
}

Canvas DawnField() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {70, 96, 156}}, {0.3f, {176, 168, 196}}, {0.5f, {250, 206, 168}}, {0.6f, {254, 232, 196}}}, 131);
  PaintClouds(c, 30, 200, {255, 220, 210}, 0.55f, 132);
  Glow(c, 170, 300, 240, {255, 230, 180}, 0.6f);
  FillDisc(c, 170, 292, 24, {255, 244, 214});
  PaintHills(c, 290, 18, 170, {130, 112, 132}, 133);
  PaintHills(c, 318, 20, 120, {88, 82, 96}, 134);
  PaintGrass(c, {326, -0.45f, {110, 112, 90}, {42, 50, 40}, {240, 206, 150}, 4200, 64}, 135);
  // The moth, high in the morning sky: the first thing the zoom shows.
  PaintMoth(c, 322, 62, 46, 0.8f, -0.25f, 0.3f);
  Veil(c, 420, 190, 900, 800, 60, {250, 240, 226}, 0.66f);
  return c;
}

// The lamp on its hill, close: the framed picture of page 3.
Canvas LampInset(int width, int height) {
  Canvas c(width, height);
  PaintSky(c, {{0, {10, 14, 36}}, {0.7f, {30, 40, 80}}}, 141);
  PaintStars(c, 120, static_cast<float>(height) * 0.6f, 142);
  PaintHills(c, static_cast<float>(height) * 0.72f, 14, 120, {18, 22, 36}, 143);
  PaintLamp(c, static_cast<float>(width) * 0.5f, static_cast<float>(height) * 0.5f, 1.1f, 1.0f);
  PaintGrass(c, {static_cast<float>(height) * 0.74f, -0.3f, {40, 40, 44}, {14, 14, 18}, {120, 96, 70}, 1400, 50}, 144);
  // A plain frame.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int edge = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
      if (edge < 6) c.At(x, y) = edge < 2 ? Colour{120, 96, 60} : Colour{60, 44, 30};
    }
  }
  return c;
}

// The moth carried by the wind over the moonlit field (page 5).
Canvas MothInWind(int width, int height) {
  Canvas c(width, height);
  PaintSky(c, {{0, {12, 18, 44}}, {0.6f, {36, 50, 92}}, {0.85f, {62, 74, 110}}}, 151);
  PaintStars(c, 150, static_cast<float>(height) * 0.6f, 152);
  PaintMoon(c, static_cast<float>(width) * 0.78f, 64, 20);
  PaintHills(c, static_cast<float>(height) * 0.8f, 14, 150, {22, 28, 46}, 153);
  PaintGrass(c, {static_cast<float>(height) * 0.82f, -0.8f, {30, 40, 54}, {12, 16, 22}, {70, 90, 100}, 1400, 46}, 154);
  PaintWindStreaks(c, 16, 60, static_cast<float>(height) * 0.8f, {200, 214, 240}, 0.4f, 155);
  PaintMoth(c, static_cast<float>(width) * 0.45f, static_cast<float>(height) * 0.45f, 150, 0.9f, -0.35f, 0.1f);
  return c;
}

// Page 6: the lamp, and the moth circling it. The moth is drawn where the
// page's overlay frames can cover it.
constexpr int kOverlayWidth = 160, kOverlayHeight = 120;
struct MothPose {
  float x, y, open, angle;
};
const MothPose kPoses[] = {{96, 74, 0.9f, 0.5f}, {56, 54, 0.35f, -0.4f}, {118, 46, 0.1f, 0.9f}, {70, 80, 0.7f, -0.9f}};

Canvas LampPage(int width, int height) {
  Canvas c(width, height);
  PaintSky(c, {{0, {6, 8, 24}}, {0.8f, {24, 30, 60}}}, 161);
  PaintStars(c, 90, static_cast<float>(height) * 0.5f, 162);
  PaintHills(c, static_cast<float>(height) * 0.8f, 10, 140, {16, 18, 30}, 163);
  PaintLamp(c, 144, 240, 1.5f, 1.0f);
  PaintGrass(c, {static_cast<float>(height) * 0.8f, -0.35f, {46, 40, 40}, {14, 12, 16}, {140, 110, 70}, 1200, 50}, 164);
  return c;
}

void Lines(PictureSink& sink, int page, const Page& look) {
  static const Font font(MinchoPath(), kTextSize, 0.35f);
  const auto& places = StoryLinePlaces(page);
  const auto& lines = StoryLines(page);
  for (size_t i = 0; i < places.size(); ++i) {
    const Mask text = font.Vertical(lines[i], kColumn);
    Canvas line = Under(look.screen, places[i].x, places[i].y, kColumn, text.height + 4);
    PaintMask(line, text, 0, 2, look.text);
    sink.Add(StoryLineName(page, static_cast<int>(i) + 1), Dither(line, places[i].x, places[i].y));
  }
}

void Background(PictureSink& sink, const char* name, Page& page, const Canvas& picture, int x, int y) {
  Paste(page.screen, picture, x, y);
  sink.Add(name, Dither(picture, x, y));
}

void Title(PictureSink& sink) {
  const Font big(MinchoPath(), 34, 0.5f), small(MinchoPath(), 17, 0.3f);
  // The first column stands complete at 248 rows: the title spaced to fill it.
  Canvas first(44, 248);
  const Mask title = big.Vertical(kTitle, 44, 0);
  const float spacing = static_cast<float>(248 - 8 - title.height) / 4;
  PaintMask(first, big.Vertical(kTitle, 44, spacing), 0, 4, kStoryPaper);
  sink.Add("main\\pp0010.v", Dither(first, 325, 34));
  // The second column unrolls to 450 rows; the screen shows 446 of them, so
  // the last four stay black.
  Canvas second(30, 450);
  PaintMask(second, small.Vertical(kSubtitle, 30, 0), 0, 8, {200, 206, 220});
  sink.Add("main\\pp0011.v", Dither(second, 295, 34));
}

void Information(PictureSink& sink) {
  Canvas card(kScreenWidth - 2 * 87, kScreenHeight - 2 * 167);
  const Font head(MinchoPath(), 20, 0.35f), body(MinchoPath(), 13, 0.25f);
  PaintCentredLine(card, head, "風わたる野　デモ版", 6, kStoryPaper, 3);
  const char* lines[] = {"絵も、文も、音も、すべてこのプログラムのコードが作りました。",
                         "文字：IPA明朝（IPAフォントライセンス）、DejaVu",
                         "最後まで読んでくださって、ありがとうございました。"};
  for (int i = 0; i < 3; ++i) PaintCentredLine(card, body, lines[i], 48 + 28 * i, {196, 202, 214});
  for (int x = 60; x < card.Width() - 60; ++x) card.Blend(x, 38, {120, 130, 150}, 0.8f);
  sink.Add("main\\freeinfo.v", Dither(card, 87, 167));
}

}  // namespace

void DrawStoryPictures(PictureSink& sink) {
  Page one(kInk), two, three, five, six, seven(kInk);
  Background(sink, "main\\st0010.v", one, MorningMeadow(), 0, 0);
  Background(sink, "main\\st0020.v", two, EveningField(), 0, 0);
  Background(sink, "main\\st0030.v", three, NightField(true), 0, 0);
  Background(sink, "main\\st0030m.v", three, LampInset(416, 418), 89, 16);
  Background(sink, "main\\st0050.v", five, MothInWind(388, 408), 146, 21);
  // Page 6: the page without the moth, then the moth where each frame has it.
  const Canvas lamp = LampPage(kScreenWidth - 270, kBarTop);
  const int ox = 314 - 270, oy = 56;
  Canvas withMoth = lamp;
  PaintMoth(withMoth, static_cast<float>(ox) + kPoses[0].x, static_cast<float>(oy) + kPoses[0].y, 44, kPoses[0].open,
            kPoses[0].angle, 0.8f);
  Background(sink, "main\\st0060.v", six, withMoth, 270, 0);
  for (int k = 1; k <= 3; ++k) {
    Canvas frame = Crop(lamp, ox, oy, kOverlayWidth, kOverlayHeight);
    PaintMoth(frame, kPoses[k].x, kPoses[k].y, 44, kPoses[k].open, kPoses[k].angle, 0.8f);
    char name[32];
    std::snprintf(name, sizeof name, "anime\\st006a%d.v", k);
    sink.Add(name, Dither(frame, 314, 56));
  }
  Background(sink, "main\\st0070.v", seven, DawnField(), 0, 0);
  Lines(sink, 1, one);
  Lines(sink, 2, two);
  Lines(sink, 3, three);
  Lines(sink, 5, five);
  Lines(sink, 6, six);
  Lines(sink, 7, seven);
  Title(sink);
  Information(sink);
}

}  // namespace demo
