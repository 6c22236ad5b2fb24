// The pointer as a game controller moves it: the stick's or the d-pad's
// deflection and the time that passed become a motion of the 640x480
// pointer, as a mouse would move it. Pure logic, no SDL: the sdl host feeds
// it the controllers' state each turn of its main loop.
#pragma once

#include <cstdint>

namespace kaze::host {

// A direction and how far it is pushed: each axis from -1 (left, up) to 1
// (right, down), as SDL's axes give it scaled to 1.
struct PadDeflection {
  double x = 0, y = 0;
};

// Where the shoulder buttons put the pointer: the middle of the story's
// control bar buttons. They come from the engine's hit rectangles
// (src/engine/game/control_bar.cpp, kButtons): back is 498..538 x 452..479,
// next 568..608 x 452..479, hit strictly inside. The host does not see the
// engine; a test holds these points against the engine's HitTestControlBar.
struct PadPoint {
  int32_t x, y;
};
inline constexpr PadPoint kBackButtonPoint{518, 465};
inline constexpr PadPoint kNextButtonPoint{588, 465};

// The motion law. Past the dead zone the speed grows with the square of
// how far the stick is pushed beyond it, so that a small push places the
// pointer on a small button and a full one crosses the 640 pixels in a
// second. The dead zone is on the stick's distance from its centre, so a
// diagonal push moves as fast as a straight one and keeps its direction.
struct PadMotionLaw {
  static constexpr double kDeadZone = 0.2;        // of a full push: a resting stick's drift
  static constexpr double kFullSpeed = 640.0;     // pixels a second at full deflection
  static constexpr uint32_t kStepMs = 10;         // the pointer moves at most this often
  static constexpr uint32_t kLongestStepMs = 50;  // a stalled loop does not make the pointer leap

  // Pixels a second along each axis for a deflection.
  static PadDeflection Velocity(PadDeflection deflection);
  // A d-pad held in a direction: full speed, diagonals too.
  static PadDeflection DpadDeflection(bool left, bool right, bool up, bool down);
};

// The pointer's position with its fractions, kept between steps so that a
// slow push still moves it. Main thread only.
class PadPointer {
 public:
  // The pointer is where the mouse (or a jump) put it.
  void Place(int32_t x, int32_t y);
  // One turn of the main loop at `nowMs`: true when the pointer moved to a
  // new whole pixel, which `x` and `y` then hold. Inside the screen always.
  bool Advance(PadDeflection deflection, uint32_t nowMs, int32_t& x, int32_t& y);
  // A stick or d-pad pushed at the last Advance.
  bool Moving() const { return moving_; }

 private:
  double x_ = 320, y_ = 240;
  uint32_t lastMs_ = 0;
  bool moving_ = false;
};

}  // namespace kaze::host
