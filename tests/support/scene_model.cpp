#include "support/scene_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "host/headless/frame_files.h"

namespace kaze::test {

namespace {

constexpr size_t kScreenPixels = 640 * 480;

// Tests make and drop screens by the thousand, one for each frame they
// expect. Under the sanitizers, memory of this size goes back to the kernel
// when it is freed, so every new screen's pages (and their shadow) faulted
// in afresh: half of a scenario test's time went so. Dropped screens' pixels
// wait here for the next screen instead; a few are enough, as a test keeps
// only a few screens at once.
class PixelPool {
 public:
  std::vector<uint16_t> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty()) return std::vector<uint16_t>(kScreenPixels);
    std::vector<uint16_t> pixels = std::move(free_.back());
    free_.pop_back();
    return pixels;
  }

  void Give(std::vector<uint16_t>&& pixels) {
    if (pixels.size() != kScreenPixels) return;  // moved from
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.size() < kKept) free_.push_back(std::move(pixels));
  }

 private:
  static constexpr size_t kKept = 8;
  std::mutex mutex_;
  std::vector<std::vector<uint16_t>> free_;
};

// Never destroyed: a static screen may be dropped after it would be.
PixelPool& Pool() {
  static PixelPool* const pool = new PixelPool;
  return *pool;
}

}  // namespace

Screen::Screen() : pixels_(Pool().Take()) { Clear(); }
Screen::Screen(const Screen& other) : pixels_(Pool().Take()) { pixels_ = other.pixels_; }
Screen& Screen::operator=(const Screen& other) = default;
// The pixels this screen had leave with `other`, to the pool when it goes.
Screen& Screen::operator=(Screen&& other) noexcept {
  std::swap(pixels_, other.pixels_);
  return *this;
}
Screen::~Screen() { Pool().Give(std::move(pixels_)); }
void Screen::Clear() { std::fill(pixels_.begin(), pixels_.end(), 0); }

template <typename F>
void Screen::ForEach(Rect r, F f) {
  for (int32_t y = std::max(r.y, 0); y < std::min(r.y + r.h, 480); ++y)
    for (int32_t x = std::max(r.x, 0); x < std::min(r.x + r.w, 640); ++x) f(pixels_[y * 640 + x]);
}

void Screen::Put(Rect r, Colour c) {
  ForEach(r, [&](uint16_t& p) { p = c.Pixel(); });
}

void Screen::Darken(Rect r, int32_t level) {
  auto less = [level](uint32_t v) { return v > static_cast<uint32_t>(level) ? v - level : 0u; };
  ForEach(r, [&](uint16_t& p) { p = Colour{less((p >> 11) & 31), less((p >> 6) & 31), less(p & 31)}.Pixel(); });
}

void Screen::Blend(Rect r, Colour c, float alpha) {
  if (c.Pixel() == 0) return;
  const float inverse = 1.0f - alpha;
  auto mix = [&](uint32_t d, uint32_t s) {
    return static_cast<uint32_t>(static_cast<double>(d) * inverse + static_cast<double>(s) * alpha);
  };
  ForEach(r, [&](uint16_t& p) {
    p = Colour{mix((p >> 11) & 31, c.r), mix((p >> 6) & 31, c.g), mix(p & 31, c.b)}.Pixel();
  });
}

uint32_t Screen::Crc() const { return host::FrameCrc(pixels_); }

std::vector<float> BlendWeights(double step, bool startAtFirstSum) {
  std::vector<float> weights;
  float alpha = 0.1f;
  if (!startAtFirstSum) weights.push_back(alpha);
  for (;;) {
    const double sum = static_cast<double>(alpha) + step;
    alpha = static_cast<float>(sum);
    if (sum > 1.0) break;
    weights.push_back(alpha);
  }
  return weights;
}

std::vector<uint32_t> Changes(const std::vector<uint32_t>& crcs) {
  std::vector<uint32_t> out;
  for (uint32_t crc : crcs)
    if (out.empty() || out.back() != crc) out.push_back(crc);
  return out;
}

std::vector<uint32_t> FrameCrcs(const std::vector<TraceLine>& trace, int64_t from, int64_t to) {
  std::vector<uint32_t> out;
  for (const TraceLine& line : trace)
    if (line.ev == "frame" && line.t >= from && line.t < to)
      out.push_back(static_cast<uint32_t>(std::strtoul(line.Str("crc").c_str(), nullptr, 16)));
  return out;
}

int64_t TimeOfFrame(const std::vector<TraceLine>& trace, uint32_t crc, int64_t from) {
  for (const TraceLine& line : trace)
    if (line.ev == "frame" && line.t >= from &&
        static_cast<uint32_t>(std::strtoul(line.Str("crc").c_str(), nullptr, 16)) == crc)
      return line.t;
  return -1;
}

std::vector<int64_t> EffectVoices(const std::vector<TraceLine>& trace) {
  static const std::pair<const char*, int> kFiles[] = {{"kazese01", 1}, {"kazese02", 2}, {"kazese03", 3},
                                                       {"kazese04", 4}, {"kazese06", 6}, {"opening", 7},
                                                       {"taiken", 8}};
  std::vector<int64_t> voices(9, -1);
  int pending = 0;
  for (const TraceLine& line : trace) {
    if (line.ev != "sound") continue;
    if (line.Str("op") == "open") {
      pending = 0;
      for (const auto& [file, effect] : kFiles)
        if (line.Bool("found") && line.Str("file").find(std::string(file) + ".wav") != std::string::npos)
          pending = effect;
    } else if (line.Str("op") == "load" && pending != 0) {
      voices[pending] = line.Int("channel");
      pending = 0;
    }
  }
  return voices;
}

}  // namespace kaze::test

namespace kaze::test {

void FlipChain::Flip() {
  std::swap(front, back);
  shown.push_back(front.Crc());
}

void FlipChain::ClearAll() {
  front.Clear();
  back.Clear();
  work.Clear();
  Flip();
  Flip();
}

void FlipChain::ShowDarkened(Rect r, int32_t level) {
  work.Darken(r, level);
  back = work;
  Flip();
}

}  // namespace kaze::test
