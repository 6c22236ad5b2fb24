// The intro's cards and scenes, and the opening: the studio mark, the moth
// over the moonlit field, the title over the night sky.
#include <cmath>
#include <cstdio>

#include "art_nature.h"
#include "demo_layout.h"
#include "picture_set.h"
#include "story_text.h"

namespace demo {

namespace {

constexpr float kPi = 3.14159265f;
const Colour kOpeningPaper{236, 230, 214};

const Placement& Place(const char* name) { return *FindPlacement(name); }

// A card of lettering on black, sized by its place: centred on the screen.
Canvas CenteredCard(const char* name) {
  const Placement& p = Place(name);
  return Canvas(kScreenWidth - 2 * p.x, kScreenHeight - 2 * p.y);
}

Canvas DayMeadow() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {86, 136, 204}}, {0.45f, {150, 192, 232}}, {0.62f, {222, 232, 236}}}, 11);
  PaintClouds(c, 30, 230, {250, 250, 246}, 0.85f, 12);
  PaintHills(c, 262, 26, 180, {120, 150, 150}, 13);
  PaintHills(c, 292, 18, 120, {96, 140, 90}, 14);
  PaintGrass(c, {290, -0.45f, {110, 160, 90}, {40, 92, 44}, {200, 214, 140}, 5200, 70}, 15);
  PaintWindStreaks(c, 18, 300, 470, {236, 244, 220}, 0.35f, 16);
  return c;
}

Canvas NightSky() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {8, 12, 34}}, {0.6f, {26, 40, 84}}, {0.8f, {52, 62, 104}}}, 21);
  PaintStars(c, 520, 380, 22);
  PaintClouds(c, 250, 360, {70, 80, 120}, 0.35f, 23);
  PaintHills(c, 380, 22, 200, {18, 24, 40}, 24);
  PaintGrass(c, {400, -0.3f, {22, 32, 44}, {10, 16, 22}, {40, 56, 70}, 2600, 50}, 25);
  return c;
}

Canvas DawnHills() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {54, 72, 130}}, {0.35f, {170, 150, 176}}, {0.6f, {246, 196, 150}}, {0.72f, {252, 226, 180}}}, 31);
  Glow(c, 420, 300, 260, {255, 226, 170}, 0.6f);
  FillDisc(c, 420, 300, 26, {255, 240, 200});
  PaintClouds(c, 120, 260, {250, 200, 190}, 0.5f, 32);
  PaintHills(c, 296, 20, 160, {120, 100, 120}, 33);
  PaintHills(c, 330, 24, 110, {76, 70, 84}, 34);
  PaintGrass(c, {340, -0.35f, {92, 90, 80}, {40, 42, 40}, {230, 190, 140}, 3800, 60}, 35);
  return c;
}

// The moonlit field behind the moth.
Canvas MothBackdrop() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {14, 20, 46}}, {0.55f, {40, 56, 96}}, {0.75f, {80, 92, 124}}}, 41);
  PaintStars(c, 260, 300, 42);
  PaintMoon(c, 520, 92, 30);
  PaintClouds(c, 150, 330, {110, 120, 156}, 0.35f, 43);
  PaintHills(c, 370, 18, 220, {30, 36, 58}, 44);
  PaintGrass(c, {385, -0.5f, {34, 46, 58}, {12, 18, 24}, {70, 90, 100}, 2400, 70}, 45);
  return c;
}

// The opening's night: the ground is black from the hills down, so the
// lettering that blends in over it has nothing to hide.
Canvas OpeningNight() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, {{0, {4, 6, 22}}, {0.45f, {18, 28, 66}}, {0.62f, {46, 52, 96}}}, 51);
  PaintStars(c, 600, 280, 52);
  PaintMoon(c, 140, 80, 22);
  PaintHills(c, 268, 16, 240, {0, 0, 0}, 53);
  PaintGrass(c, {262, -0.5f, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 700, 40}, 54);
  for (int y = 290; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) c.At(x, y) = {};
  }
  return c;
}

void Mark(PictureSink& sink) {
  Canvas card = CenteredCard("opening\\op0010.v");
  const float cy = static_cast<float>(card.Height()) / 2;
  // Three arcs of wind in a ring.
  FillDisc(card, 52, cy, 34, {60, 86, 110});
  FillDisc(card, 52, cy, 31, {14, 20, 30});
  for (int i = 0; i < 3; ++i) {
    const float y = cy - 12 + 12 * static_cast<float>(i), shift = 6 * static_cast<float>(i - 1);
    for (int s = 0; s < 10; ++s) {
      const float t0 = static_cast<float>(s) / 10, t1 = static_cast<float>(s + 1) / 10;
      StrokeSegment(card, 30 + shift + 40 * t0, y - 5 * std::sin(t0 * kPi * 1.5f), 30 + shift + 40 * t1,
                    y - 5 * std::sin(t1 * kPi * 1.5f), 2.6f, 2.6f, Mix({150, 200, 210}, {236, 240, 220}, t1));
    }
  }
  const Font title(MinchoPath(), 34, 0.3f), small(SansPath(), 12);
  PaintMask(card, title.Horizontal("風の絵本", 6), 112, 8, kOpeningPaper);
  PaintMask(card, small.Horizontal("KAZE PICTURE BOOKS", 3), 114, 56, {150, 184, 196});
  sink.Add("opening\\op0010.v", Dither(card, 121, 197));
}

void Cards(PictureSink& sink) {
  const Font line(MinchoPath(), 16, 0.25f), caption(MinchoPath(), 18, 0.3f);
  Canvas first(260, 29), second(260, 29);
  PaintCentredLine(first, line, "この物語は、", 4, kOpeningPaper);
  PaintCentredLine(second, line, "風の音といっしょにどうぞ。", 4, kOpeningPaper);
  sink.Add("taiken\\tik011.v", Dither(first, 190, 211));
  sink.Add("taiken\\tik012.v", Dither(second, 190, 240));
  const char* captions[][2] = {{"taiken\\tik021.v", "一　昼の野原"},
                               {"taiken\\tik041.v", "二　星のながれる夜"},
                               {"taiken\\tik061.v", "三　丘の夜明け"}};
  for (const auto& [name, text] : captions) {
    Canvas card = CenteredCard(name);
    PaintCentredLine(card, caption, text, (card.Height() - 24) / 2, kOpeningPaper, 2);
    sink.Add(name, Dither(card, Place(name).x, Place(name).y));
  }
  Canvas last = CenteredCard("taiken\\tik081.v");
  const Font big(MinchoPath(), 28, 0.3f);
  PaintCentredLine(last, big, kTitle, 2, kOpeningPaper, 8);
  PaintCentredLine(last, line, "はじまります", 40, {190, 200, 214}, 4);
  sink.Add("taiken\\tik081.v", Dither(last, 116, 209));
}

// An overlay drawn over the middle of a full-screen scene.
void Overlay(PictureSink& sink, const char* name, const Canvas& scene, void (*draw)(Canvas&)) {
  const Placement& p = Place(name);
  const Canvas plain = Under(scene, p.x, p.y, kScreenWidth - 2 * p.x, kScreenHeight - 2 * p.y);
  Canvas drawn = plain;
  draw(drawn);
  sink.Add(name, KeyedOverlay(plain, drawn, p.x, p.y));
}

// Leaves and petals riding a ribbon of wind.
void DrawLeaves(Canvas& c) {
  Rng rng(61);
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  for (int s = 0; s < 3; ++s) {
    float px = 8, py = h * (0.35f + 0.15f * static_cast<float>(s)) - 40 * std::sin(static_cast<float>(s));
    for (int k = 1; k <= 40; ++k) {
      const float t = static_cast<float>(k) / 40;
      const float nx = 8 + (w - 16) * t, ny = h * (0.35f + 0.15f * static_cast<float>(s)) -
                                              40 * std::sin(t * kPi * 1.6f + static_cast<float>(s));
      StrokeSegment(c, px, py, nx, ny, 2.4f * std::sin(t * kPi) + 0.5f, 2.4f * std::sin(t * kPi) + 0.5f,
                    {250, 252, 240}, 0.55f * std::sin(t * kPi));
      px = nx;
      py = ny;
    }
  }
  for (int i = 0; i < 26; ++i) {
    const float t = rng.Unit();
    const float x = 20 + (w - 40) * t, y = h * 0.5f - 46 * std::sin(t * kPi * 1.6f) + rng.Range(-50, 50);
    const float size = rng.Range(5, 11), angle = rng.Range(0, kPi);
    const bool petal = rng.Unit() < 0.4f;
    const Colour colour = petal ? Colour{250, 214, 226} : Mix({120, 170, 70}, {210, 200, 90}, rng.Unit());
    FillEllipse(c, x, y, size, size * 0.45f, angle, Scale(colour, 0.7f));
    FillEllipse(c, x, y, size - 1.2f, size * 0.45f - 1.2f, angle, colour);
  }
}

// Shooting stars across the night.
void DrawMeteors(Canvas& c) {
  Rng rng(62);
  for (int i = 0; i < 5; ++i) {
    const float x = rng.Range(60, static_cast<float>(c.Width()) - 20), y = rng.Range(14, 70);
    const float length = rng.Range(90, 180);
    for (int s = 0; s < 20; ++s) {
      const float t0 = static_cast<float>(s) / 20, t1 = static_cast<float>(s + 1) / 20;
      StrokeSegment(c, x - length * t0, y + length * 0.45f * t0, x - length * t1, y + length * 0.45f * t1,
                    2.4f * (1 - t0) + 0.4f, 2.4f * (1 - t1) + 0.4f, {230, 236, 255}, 0.9f * (1 - t0));
    }
    Glow(c, x, y, 10, {240, 244, 255}, 0.9f);
    FillDisc(c, x, y, 1.8f, {255, 255, 255});
  }
  for (int i = 0; i < 30; ++i) {
    const float x = rng.Range(8, static_cast<float>(c.Width()) - 8),
                y = rng.Range(8, static_cast<float>(c.Height()) - 8);
    FillDisc(c, x, y, rng.Range(0.7f, 1.5f), {255, 246, 214}, 0.9f);
  }
}

// Birds leaving with the morning, and drifting seeds.
void DrawBirds(Canvas& c) {
  Rng rng(63);
  for (int i = 0; i < 9; ++i) {
    const float x = 60 + static_cast<float>(i) * 38 + rng.Range(-10, 10);
    const float y = 40 + std::abs(static_cast<float>(i) - 4) * 12 + rng.Range(-6, 6);
    const float span = rng.Range(10, 16), lift = rng.Range(-5, 4);
    StrokeSegment(c, x - span, y + lift, x, y + 4, 1.2f, 2.4f, {48, 40, 56});
    StrokeSegment(c, x, y + 4, x + span, y + lift, 2.4f, 1.2f, {48, 40, 56});
  }
  for (int i = 0; i < 14; ++i) {
    const float x = rng.Range(20, static_cast<float>(c.Width()) - 20),
                y = rng.Range(100, static_cast<float>(c.Height()) - 14);
    for (int r = 0; r < 8; ++r) {
      const float a = static_cast<float>(r) * kPi / 4;
      StrokeSegment(c, x, y, x + 6 * std::cos(a), y + 6 * std::sin(a), 0.9f, 0.5f, {255, 248, 236}, 0.85f);
    }
    FillDisc(c, x, y, 1.5f, {200, 170, 130});
  }
}

// The moth scene is drawn at half size and shown doubled (the backdrop
// scaled to the screen, the frames to 320x240): the frames are a quarter of
// the pixels, and each holds exactly the backdrop's pixels around the moth.
void Moth(PictureSink& sink) {
  const Canvas backdrop = Halve(MothBackdrop());
  sink.Add("anime\\MothA001.v", Dither(backdrop, 0, 0));
  for (int i = 2; i <= 30; ++i) {
    const float phase = 2 * kPi * static_cast<float>(i - 2) / 29;
    Canvas frame = Crop(backdrop, 80, 80, 160, 120);
    const float open = 0.5f + 0.5f * std::cos(phase);
    PaintMoth(frame, 80, 61 + 3 * std::sin(phase), 128, open, 0.0f, 0.15f);
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    sink.Add(name, Dither(frame, 80, 80));
  }
}

void TitleNight(PictureSink& sink) {
  const Canvas night = OpeningNight();
  sink.Add("opening\\op0030.v", Dither(night, 0, 0));
  const Font title(MinchoPath(), 46, 0.6f);
  const Mask letters = title.Vertical(kTitle, 96, 10);
  Canvas column = Under(night, 514, 0, 96, letters.height + 28);
  PaintHalo(column, letters, 0, 18, {0, 0, 10}, 0.5f, 3);
  PaintMask(column, letters, 0, 18, {250, 244, 222});
  sink.Add("opening\\op0031.v", Dither(column, 514, 0));
  // Blended in over the black ground: black is "nothing" here.
  Canvas emblem(170, 72);
  PaintMoth(emblem, 26, 30, 44, 0.9f, -0.3f, 0.6f);
  const Font line(MinchoPath(), 15, 0.3f);
  PaintMask(emblem, line.Horizontal("ちいさな蛾の", 1), 56, 10, {240, 214, 160});
  PaintMask(emblem, line.Horizontal("ものがたり", 1), 74, 34, {240, 214, 160});
  sink.Add("opening\\op0032.v", Dither(emblem, 460, 300));
  Canvas notice = Under(night, 427, 379, 200, 82);
  const Font small(MinchoPath(), 13, 0.25f);
  const char* lines[] = {"フリーソフト・デモ版", "絵も文も音もプログラム製", "クリックではじまります"};
  for (int i = 0; i < 3; ++i) {
    const Mask m = small.Horizontal(lines[i]);
    PaintMask(notice, m, 196 - m.width, 6 + 26 * i, i == 2 ? Colour{250, 230, 180} : Colour{190, 198, 214});
  }
  sink.Add("opening\\op_free.v", Dither(notice, 427, 379));
}

}  // namespace

void DrawIntroPictures(PictureSink& sink) {
  Mark(sink);
  Cards(sink);
  const Canvas day = DayMeadow(), night = NightSky(), dawn = DawnHills();
  sink.Add("taiken\\tik030.v", Dither(day));
  sink.Add("taiken\\tik050.v", Dither(night));
  sink.Add("taiken\\tik070.v", Dither(dawn));
  Overlay(sink, "taiken\\tik022.v", day, DrawLeaves);
  Overlay(sink, "taiken\\tik042.v", night, DrawMeteors);
  Overlay(sink, "taiken\\tik062.v", dawn, DrawBirds);
}

void DrawOpeningPictures(PictureSink& sink) {
  Moth(sink);
  TitleNight(sink);
}

}  // namespace demo
