// The control bar's pictures: buttons on the black strip, in a normal and a
// highlighted form, the sound button's on and off forms, the quit question,
// and the save and load pieces that the bar loads but shows only dimmed or
// not at all.
#include <algorithm>
#include <cmath>

#include "demo_layout.h"
#include "picture_set.h"

namespace demo {

namespace {

struct Look {
  Colour top, bottom, rim, text;
};
const Look kNormal{{78, 90, 104}, {40, 48, 60}, {130, 146, 160}, {236, 240, 244}};
const Look kHot{{250, 196, 110}, {196, 120, 50}, {255, 236, 180}, {40, 24, 10}};

// A rounded button face filling the picture but for a black margin, which
// the dimmed draw leaves alone.
Canvas Face(int width, int height, const Look& look, float margin = 0.5f) {
  Canvas c(width, height);
  const float radius = std::min(5.0f, static_cast<float>(height) / 2 - margin);
  const float l = margin, t = margin, r = static_cast<float>(width) - margin, b = static_cast<float>(height) - margin;
  const auto box = [=](float x, float y) {
    const float dx = std::max({l + radius - x, x - (r - radius), 0.0f});
    const float dy = std::max({t + radius - y, y - (b - radius), 0.0f});
    return std::hypot(dx, dy) - radius;
  };
  FillShape(c, l, t, r, b, box, look.rim);
  for (int y = 0; y < height; ++y) {
    const Colour shade = Mix(look.top, look.bottom, static_cast<float>(y) / static_cast<float>(height));
    for (int x = 0; x < width; ++x) {
      const float inside = Clamp01(0.5f - (box(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) + 1.0f));
      c.Blend(x, y, shade, inside);
    }
  }
  return c;
}

void Label(Canvas& c, const Mask& m, int dx, Colour colour) {
  PaintMask(c, m, (c.Width() - m.width) / 2 + dx, (c.Height() - m.height) / 2, colour);
}

void Arrow(Canvas& c, float x, float y, float size, bool left, Colour colour) {
  const float s = left ? -1.0f : 1.0f;
  FillShape(
      c, x - size, y - size, x + size, y + size,
      [=](float px, float py) {
        // A triangle pointing left or right: the largest of three edge distances.
        const float u = (px - x) * s, v = py - y;
        const float e1 = (u * 0.5f + std::abs(v) * 0.866f) - size * 0.5f;
        return std::max(e1, -u - size * 0.5f);
      },
      colour);
}

const Rect& Hit(const char* name) {
  for (const BarButton& b : BarButtons()) {
    if (std::string(b.normal) == name) return b.hit;
  }
  static const Rect none{0, 0, 0, 0};
  return none;
}

int W(const Rect& r) { return r.right - r.left; }
int H(const Rect& r) { return r.bottom - r.top; }

void PageButtons(PictureSink& sink, const Font& word) {
  for (const bool back : {true, false}) {
    const Rect& hit = Hit(back ? "system\\backa.v" : "system\\nexta.v");
    for (const bool hot : {false, true}) {
      const Look& look = hot ? kHot : kNormal;
      Canvas c = Face(W(hit), H(hit), look);
      const Mask m = word.Horizontal(back ? "戻る" : "次へ");
      Label(c, m, back ? 5 : -5, look.text);
      Arrow(c, back ? 7.0f : static_cast<float>(W(hit)) - 7.0f, static_cast<float>(H(hit)) / 2, 5, back, look.text);
      sink.Add(back ? (hot ? "system\\backb.v" : "system\\backa.v") : (hot ? "system\\nextb.v" : "system\\nexta.v"),
               Dither(c));
    }
  }
}

void QuitButton(PictureSink& sink, const Font& word) {
  const Rect& hit = Hit("system\\quita.v");
  for (const bool hot : {false, true}) {
    const Look& look = hot ? kHot : kNormal;
    Canvas c = Face(W(hit), H(hit), look);
    Label(c, word.Horizontal("終了"), 0, look.text);
    sink.Add(hot ? "system\\quitb.v" : "system\\quita.v", Dither(c));
  }
}

// A quaver: the note shows the sound is on; greyed and struck through, off.
void SoundButton(PictureSink& sink) {
  const Rect& hit = Hit("system\\melodyb.v");
  for (const bool on : {true, false}) {
    Canvas c = Face(W(hit), H(hit),
                    on ? Look{{70, 110, 90}, {30, 60, 46}, {150, 210, 170}, {}}
                       : Look{{70, 70, 74}, {40, 40, 44}, {110, 110, 116}, {}});
    const Colour ink = on ? Colour{250, 246, 200} : Colour{150, 150, 156};
    FillEllipse(c, 6.2f, 11.2f, 2.6f, 1.9f, -0.4f, ink);
    StrokeSegment(c, 8.4f, 11.0f, 8.4f, 3.2f, 1.3f, 1.3f, ink);
    StrokeSegment(c, 8.4f, 3.4f, 11.6f, 6.2f, 1.6f, 1.1f, ink);
    if (!on) StrokeSegment(c, 3.0f, 13.0f, 13.0f, 3.0f, 1.8f, 1.8f, {230, 80, 70});
    sink.Add(on ? "system\\melodyb.v" : "system\\melodya.v", Dither(c));
  }
}

void Answers(PictureSink& sink, const Font& latin) {
  for (const bool yes : {true, false}) {
    const Rect& hit = Hit(yes ? "system\\yes.v" : "system\\no.v");
    Canvas c = Face(W(hit), H(hit),
                    yes ? Look{{96, 140, 110}, {50, 90, 62}, {160, 210, 170}, {}}
                        : Look{{140, 90, 90}, {90, 48, 50}, {210, 160, 160}, {}});
    Label(c, latin.Horizontal(yes ? "YES" : "NO", 0.5f), 0, {250, 250, 246});
    sink.Add(yes ? "system\\yes.v" : "system\\no.v", Dither(c));
  }
}

// Plain lettering on the black strip.
vimage::RgbPicture Words(const Font& font, const char* text, int width, int height, Colour colour) {
  Canvas c(width, height);
  Label(c, font.Horizontal(text), 0, colour);
  return Dither(c);
}

// A small button with a word: the save and load pieces and cancel.
vimage::RgbPicture WordButton(const Font& font, const char* text, int width, int height, const Look& look) {
  Canvas c = Face(width, height, look);
  Label(c, font.Horizontal(text), 0, look.text);
  return Dither(c);
}

vimage::RgbPicture NumberTile(const Font& font, char digit, const Look& look) {
  Canvas c = Face(24, 24, look);
  Label(c, font.Horizontal(std::string(1, digit)), 0, look.text);
  return Dither(c);
}

}  // namespace

void DrawBarPictures(PictureSink& sink) {
  const Font word(MinchoPath(), 12, 0.45f), tiny(MinchoPath(), 10, 0.45f), latin(SansBoldPath(), 8),
      digits(SansBoldPath(), 13);
  PageButtons(sink, word);
  QuitButton(sink, word);
  SoundButton(sink);
  Answers(sink, latin);
  // The question sits between the quit button and yes; 17 rows keep it in the strip.
  sink.Add("system\\textend.v", Words(word, "終了しますか？", 128, 17, {240, 236, 224}));
  const Look chosen{{120, 130, 150}, {80, 90, 110}, {200, 210, 230}, {255, 255, 255}};
  sink.Add("system\\loada.v", WordButton(tiny, "ロード", 38, 12, kNormal));
  sink.Add("system\\loadb.v", WordButton(tiny, "ロード", 38, 12, kHot));
  sink.Add("system\\savea.v", WordButton(tiny, "セーブ", 38, 12, kNormal));
  sink.Add("system\\saveb.v", WordButton(tiny, "セーブ", 38, 12, kHot));
  sink.Add("system\\load.v", WordButton(tiny, "ロード", 38, 12, chosen));
  sink.Add("system\\save.v", WordButton(tiny, "セーブ", 38, 12, chosen));
  sink.Add("system\\cancela.v", WordButton(tiny, "やめる", 38, 12, kNormal));
  sink.Add("system\\cancelb.v", WordButton(tiny, "やめる", 38, 12, kHot));
  for (const char digit : {'1', '2', '3'}) {
    const std::string base = std::string("system\\") + digit;
    sink.Add(base + "a.v", NumberTile(digits, digit, kNormal));
    sink.Add(base + "b.v", NumberTile(digits, digit, kHot));
    sink.Add(base + "c.v", NumberTile(digits, digit, chosen));
  }
  const Colour pale{240, 236, 224};
  sink.Add("system\\textsave.v", Words(word, "ここにセーブしますか？", 160, 17, pale));
  sink.Add("system\\textload.v", Words(word, "ここからロードしますか？", 160, 17, pale));
  sink.Add("system\\textover.v", Words(word, "上書きしますか？", 160, 17, pale));
  sink.Add("system\\textloadsel.v", Words(word, "ロードする番号をえらんでください", 220, 17, pale));
  sink.Add("system\\textsavesel.v", Words(word, "セーブする番号をえらんでください", 220, 17, pale));
}

}  // namespace demo
