#include "demo_layout.h"

#include <cstdio>

namespace demo {

const std::vector<LinePlace>& StoryLinePlaces(int page) {
  static const std::vector<LinePlace> pages[kStoryPages] = {
      {{581, 32}, {544, 32}, {520, 32}},
      {{163, 32}, {133, 32}, {103, 31}, {74, 32}, {45, 32}},
      {{577, 32}, {550, 32}, {519, 32}},
      {},
      {{580, 32}, {551, 32}},
      {{71, 32}, {45, 32}},
      {{584, 203}, {554, 203}, {523, 203}, {462, 203}, {432, 203}},
  };
  return pages[page - 1];
}

std::string StoryLineName(int page, int line) {
  char name[32];
  std::snprintf(name, sizeof name, "main\\st0%02d%01d.v", page, line);
  return name;
}

const std::vector<BarButton>& BarButtons() {
  static const std::vector<BarButton> buttons = {
      {"system\\backa.v", "system\\backb.v", {498, 452, 538, 479}, 498, 452},
      {"system\\nexta.v", "system\\nextb.v", {568, 452, 608, 479}, 568, 452},
      {"system\\quita.v", "system\\quitb.v", {30, 456, 60, 476}, 30, 456},
      {"system\\melodyb.v", "system\\melodyb.v", {452, 459, 468, 475}, 452, 459},
      {"system\\melodya.v", "system\\melodya.v", {452, 459, 468, 475}, 452, 459},
      {"system\\yes.v", "system\\yes.v", {275, 461, 298, 473}, 275, 461},
      {"system\\no.v", "system\\no.v", {305, 461, 328, 473}, 305, 461},
  };
  return buttons;
}

namespace {

std::vector<Placement> MakePlacements() {
  std::vector<Placement> all = {
      {"opening\\op0010.v", 121, 197, Area::Screen},
      {"taiken\\tik011.v", 190, 211, Area::Screen, false, true},
      {"taiken\\tik012.v", 190, 240, Area::Screen, false, true},
      {"taiken\\tik021.v", 223, 227, Area::Screen},
      {"taiken\\tik030.v", 0, 0, Area::Screen},
      {"taiken\\tik022.v", 97, 146, Area::Screen, true, true},
      {"taiken\\tik041.v", 207, 225, Area::Screen},
      {"taiken\\tik050.v", 0, 0, Area::Screen},
      {"taiken\\tik042.v", 98, 165, Area::Screen, true, true},
      {"taiken\\tik061.v", 218, 222, Area::Screen},
      {"taiken\\tik070.v", 0, 0, Area::Screen},
      {"taiken\\tik062.v", 93, 154, Area::Screen, true, true},
      {"taiken\\tik081.v", 116, 209, Area::Screen},
      {"opening\\op0030.v", 0, 0, Area::Screen},
      {"opening\\op0031.v", 514, 0, Area::Screen},
      {"opening\\op0032.v", 460, 300, Area::Screen, false, true},
      {"opening\\op_free.v", 427, 379, Area::Screen},
  };
  for (int i = 1; i <= 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    // The backdrop is stretched to the screen, the frames to 320x240 at (160, 160).
    all.push_back({name, i == 1 ? 0 : 160, i == 1 ? 0 : 160, Area::Screen, false, false, 2});
  }
  all.push_back({"main\\pp0010.v", 325, 34, Area::Screen});
  all.push_back({"main\\pp0011.v", 295, 34, Area::Unplaced});  // unrolls past the edge: see the title
  const int backgroundX[kStoryPages] = {0, 0, 0, 0, 146, 270, 0};
  const int backgroundY[kStoryPages] = {0, 0, 0, 0, 21, 0, 0};
  for (int page = 1; page <= kStoryPages; ++page) {
    if (StoryLinePlaces(page).empty()) continue;
    char name[32];
    std::snprintf(name, sizeof name, "main\\st0%02d0.v", page);
    // Page 7 zooms out to the whole screen; the bar then covers its foot.
    all.push_back({name, backgroundX[page - 1], backgroundY[page - 1], page == 7 ? Area::Screen : Area::Page});
    if (page == 3) all.push_back({"main\\st0030m.v", 89, 16, Area::Page});
    if (page == 6) {
      for (const char* frame : {"anime\\st006a1.v", "anime\\st006a2.v", "anime\\st006a3.v"}) {
        all.push_back({frame, 314, 56, Area::Page});
      }
    }
    const auto& lines = StoryLinePlaces(page);
    for (size_t i = 0; i < lines.size(); ++i) {
      all.push_back({StoryLineName(page, static_cast<int>(i) + 1), lines[i].x, lines[i].y, Area::Page});
    }
  }
  all.push_back({"main\\freeinfo.v", 87, 167, Area::Screen});
  for (const BarButton& button : BarButtons()) {
    for (const char* name : {button.normal, button.hot}) {
      bool seen = false;
      for (const Placement& p : all) seen = seen || p.name == name;
      if (!seen) all.push_back({name, button.x, button.y, Area::Bar});
    }
  }
  all.push_back({"system\\textend.v", 138, 459, Area::Bar});
  all.push_back({"system\\loada.v", 405, 461, Area::Bar});
  all.push_back({"system\\savea.v", 365, 461, Area::Bar});
  // Loaded with the bar but never drawn.
  for (const char* name : {"system\\1a.v",       "system\\1b.v",       "system\\2a.v",          "system\\2b.v",
                           "system\\3a.v",       "system\\3b.v",       "system\\1c.v",          "system\\2c.v",
                           "system\\3c.v",       "system\\loadb.v",    "system\\saveb.v",       "system\\textsave.v",
                           "system\\textload.v", "system\\textover.v", "system\\textloadsel.v", "system\\textsavesel.v",
                           "system\\load.v",     "system\\save.v",     "system\\cancela.v",     "system\\cancelb.v"}) {
    all.push_back({name, -1, -1, Area::Unplaced});
  }
  return all;
}

}  // namespace

const std::vector<Placement>& Placements() {
  static const std::vector<Placement> all = MakePlacements();
  return all;
}

const Placement* FindPlacement(const std::string& name) {
  for (const Placement& p : Placements()) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

}  // namespace demo
