// Where the scenes draw each picture of the demo set: the story's line
// positions, the control bar's buttons and every other picture's place.
// The pictures are sized from these positions, and the tests check the
// sizes against them.
#pragma once

#include <string>
#include <vector>

namespace demo {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kBarTop = 450;  // the control bar's strip is rows 450 to 479 during the story

struct LinePlace {
  int x, y;
};
constexpr int kStoryPages = 7;
// The text lines' positions on page 1..7, line 1 first (page 4 has none).
const std::vector<LinePlace>& StoryLinePlaces(int page);
std::string StoryLineName(int page, int line);  // "main\st0011.v"

struct Rect {
  int left, top, right, bottom;
};

// A bar button: its hit rectangle and where its pictures go.
struct BarButton {
  const char* normal;
  const char* hot;  // the same picture when the button has no hot form
  Rect hit;
  int x, y;
};
const std::vector<BarButton>& BarButtons();

// Where a picture is drawn, 1:1 or stretched by `scale`. `area` is the part of the screen it must
// stay within: the whole screen, or the picture area above the bar.
enum class Area { Screen, Page, Bar, Unplaced };
struct Placement {
  std::string name;
  int x, y;
  Area area;
  bool keyed = false;    // drawn with the top-left pixel's colour as transparent
  bool blended = false;  // blended in, black pixels skipped
  int scale = 1;         // drawn stretched to this many times its size
};
// Every picture of the set, in the order of the contact sheet.
const std::vector<Placement>& Placements();
const Placement* FindPlacement(const std::string& name);

}  // namespace demo
