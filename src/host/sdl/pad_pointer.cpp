#include "host/sdl/pad_pointer.h"

#include <algorithm>
#include <cmath>

#include "host/host.h"

namespace kaze::host {

PadDeflection PadMotionLaw::Velocity(PadDeflection deflection) {
  const double distance = std::hypot(deflection.x, deflection.y);
  if (distance <= kDeadZone) return {};
  const double beyond = (std::min(distance, 1.0) - kDeadZone) / (1.0 - kDeadZone);
  const double speed = kFullSpeed * beyond * beyond;
  return {speed * deflection.x / distance, speed * deflection.y / distance};
}

PadDeflection PadMotionLaw::DpadDeflection(bool left, bool right, bool up, bool down) {
  const double x = double(right) - double(left), y = double(down) - double(up);
  const double distance = std::hypot(x, y);
  if (distance == 0) return {};
  return {x / distance, y / distance};
}

void PadPointer::Place(int32_t x, int32_t y) {
  x_ = std::clamp(double(x), 0.0, double(kScreenWidth - 1));
  y_ = std::clamp(double(y), 0.0, double(kScreenHeight - 1));
}

bool PadPointer::Advance(PadDeflection deflection, uint32_t nowMs, int32_t& x, int32_t& y) {
  const PadDeflection velocity = PadMotionLaw::Velocity(deflection);
  if (velocity.x == 0 && velocity.y == 0) {
    moving_ = false;
    return false;
  }
  // The time counts from the push, not from the last move before it.
  if (!moving_) {
    moving_ = true;
    lastMs_ = nowMs;
    return false;
  }
  const uint32_t elapsed = nowMs - lastMs_;
  if (elapsed < PadMotionLaw::kStepMs) return false;
  lastMs_ = nowMs;
  const double seconds = std::min(elapsed, PadMotionLaw::kLongestStepMs) / 1000.0;
  const int32_t oldX = int32_t(x_), oldY = int32_t(y_);
  x_ = std::clamp(x_ + velocity.x * seconds, 0.0, double(kScreenWidth - 1));
  y_ = std::clamp(y_ + velocity.y * seconds, 0.0, double(kScreenHeight - 1));
  x = int32_t(x_);
  y = int32_t(y_);
  return x != oldX || y != oldY;
}

}  // namespace kaze::host
