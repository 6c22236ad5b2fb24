#include "support/story_fixture.h"

#include <algorithm>
#include <cstdio>

#include "game/fade.h"
#include "game/page_tables.h"
#include "game/scenes.h"
#include "sound/effects.h"
#include "support/scene_data.h"

namespace kaze::test {

uint32_t PageColour(int32_t page) { return 0xF80000u | (static_cast<uint32_t>(page) * 0x20u) << 8 | 0x80u; }

uint32_t BarColour(int32_t slot) { return 0x800000u | (static_cast<uint32_t>(slot) * 4u) << 8 | 0xF8u; }

uint16_t To565(uint32_t rgb) {
  return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

uint16_t Dimmed565(uint32_t rgb) { return static_cast<uint16_t>((To565(rgb) >> 1) & 0x7BCF); }

int32_t DarkeningOf(uint16_t pixel) { return 31 - (pixel >> 11); }

uint16_t Darken565(uint16_t pixel, int32_t level) {
  auto channel = [&](int shift) { return std::max(0, ((pixel >> shift) & 0x1F) - level) << shift; };
  return static_cast<uint16_t>(channel(11) | channel(6) | channel(0));
}

std::vector<Probe> StandardProbes() {
  return {{320, 200}, {590, 33},  {590, 51},  {553, 33}, {498, 452}, {568, 452}, {30, 456},
          {452, 459}, {150, 465}, {285, 467}, {330, 70}, {320, 445}, {320, 241}};
}

void WriteStoryData(const std::filesystem::path& root) {
  SceneData data(root);
  data.Effects();
  vimage::RgbPicture zoomed = Solid(640, 480, PageColour(7));
  std::fill(zoomed.colours.begin() + 240 * 640, zoomed.colours.end(), kLowerHalfColour);
  for (int32_t y = 0; y < 240; ++y) std::fill_n(zoomed.colours.begin() + y * 640, 240, kUpperLeftColour);
  data.Picture("main\\st0070.v", zoomed);
  for (int32_t page : {1, 2, 3}) {
    char name[32];
    std::snprintf(name, sizeof name, "main\\st0%02d0.v", page);
    data.Picture(name, 640, 450, PageColour(page));
  }
  data.Picture("main\\st0030m.v", 100, 50, kOverlayColour);
  data.Picture("main\\st0050.v", 348, 420, PageColour(5));
  data.Picture("main\\st0060.v", 370, 450, PageColour(6));
  for (int32_t i = 0; i < 3; ++i) data.Picture("anime\\st006a" + std::to_string(i + 1) + ".v", 60, 40, kBlinkColour[i]);
  for (int32_t page = 1; page <= 7; ++page) {
    for (int32_t line = 1; line <= StageInfo[page].lineCount; ++line) {
      char name[32];
      std::snprintf(name, sizeof name, "main\\st0%02d%01d.v", page, line);
      data.Picture(name, 24, kLineHeight, kLineColour);
    }
  }
  data.Picture("main\\freeinfo.v", 466, 146, kInfoColour);

  struct BarPicture {
    int32_t slot;
    const char* name;
    int32_t width, height;
  };
  static const BarPicture kBar[] = {
      {20, "backa", 40, 27},     {21, "backb", 40, 27},     {22, "nexta", 40, 27},   {23, "nextb", 40, 27},
      {24, "1a", 8, 8},          {25, "1b", 8, 8},          {26, "2a", 8, 8},        {27, "2b", 8, 8},
      {28, "3a", 8, 8},          {29, "3b", 8, 8},          {31, "melodya", 16, 16}, {32, "melodyb", 16, 16},
      {33, "quita", 30, 20},     {34, "quitb", 30, 20},     {35, "loada", 30, 12},   {36, "loadb", 8, 8},
      {37, "savea", 30, 12},     {38, "saveb", 8, 8},       {40, "textsave", 8, 8},  {41, "textload", 8, 8},
      {42, "textover", 8, 8},    {43, "textend", 130, 15},  {44, "yes", 23, 12},     {45, "no", 23, 12},
      {46, "textloadsel", 8, 8}, {47, "textsavesel", 8, 8}, {48, "load", 8, 8},      {49, "save", 8, 8},
      {50, "cancela", 8, 8},     {51, "cancelb", 8, 8},     {52, "1c", 8, 8},        {53, "2c", 8, 8},
      {54, "3c", 8, 8},
  };
  for (const BarPicture& p : kBar)
    data.Picture(std::string("system\\") + p.name + ".v", p.width, p.height, BarColour(p.slot));
}

namespace {

// The scene loop from the story on; the intro and the opening, which would
// have switched the sound on, are skipped in the first cycle only.
void StoryScenario() {
  LoadEffects();
  InitFadeVolumeTable();
  SoundEnabled = 1;
  while (RunStory() != 1) {
    ShowInfoScreen();
    PlayIntroSequence();
    PlayOpening();
    PlayTitle();
  }
  ReleaseEffects();
}

}  // namespace

int StoryTest::PlayStory(const std::filesystem::path& root, const std::string& script, uint64_t untilMs,
                         std::vector<Probe> probes) {
  return PlayScenario(root, StoryScenario, script, untilMs, {std::move(probes)});
}

int32_t StoryTest::PageOf(const FlipRecord& f) const {
  for (int32_t page : {1, 2, 3, 5, 6, 7})
    if (f.pixels[kPage] == To565(PageColour(page))) return page;
  return 0;
}

size_t StoryTest::FirstFullFlip(int32_t page, size_t from) const {
  for (size_t i = from; i < frames.size(); ++i)
    if (PageOf(frames[i]) == page) return i;
  return frames.size();
}

}  // namespace kaze::test
