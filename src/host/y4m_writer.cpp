#include "host/y4m_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/write_failure.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kaze::host {

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr size_t kLumaBytes = static_cast<size_t>(kWidth) * kHeight;
constexpr size_t kChromaBytes = kLumaBytes / 4;
constexpr char kFrameTag[] = "FRAME\n";
constexpr size_t kTagBytes = sizeof kFrameTag - 1;
constexpr char kStreamHeader[] = "YUV4MPEG2 W640 H480 F50:1 Ip A1:1 C420jpeg\n";
constexpr size_t kStreamHeaderBytes = sizeof kStreamHeader - 1;

// BT.601 full range in 16-bit fixed point (JFIF's weights). Luma of one
// pixel: (kYr r + kYg g + kYb b + 2^15) >> 16. Chroma of a 2x2 block, from
// the sums of its four components (the mean folded into the shift: /4 is
// 2 more bits): (weighted + 128 << 18 + 2^17) >> 18, at most 255.
constexpr int32_t kYr = 19595, kYg = 38470, kYb = 7471;
constexpr int32_t kCbR = -11059, kCbG = -21709, kCbB = 32768;
constexpr int32_t kCrR = 32768, kCrG = -27439, kCrB = -5329;
constexpr int32_t kChromaBias = (128 << 18) + (1 << 17);

const uint16_t* Row(const uint16_t* pixels, int32_t pitch, int32_t row) {
  return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                           static_cast<intptr_t>(row) * pitch);
}

// ---- the plain converter: one pixel at a time, as the formulas say ----------

// 8-bit components the way the snapshots widen them: the top bits repeated
// into the low ones, so that white stays 255.
struct Rgb {
  int32_t r, g, b;
};

Rgb Widen(uint32_t pixel, PixelLayout layout) {
  uint32_t r = 0, g = 0, b = pixel & 31;
  if (layout == PixelLayout::Rgb555) {
    r = (pixel >> 10) & 31;
    g = (pixel >> 5) & 31;
    g = g << 3 | g >> 2;
  } else {
    r = pixel >> 11;
    g = (pixel >> 5) & 63;
    g = g << 2 | g >> 4;
  }
  return {static_cast<int32_t>(r << 3 | r >> 2), static_cast<int32_t>(g), static_cast<int32_t>(b << 3 | b >> 2)};
}

uint8_t Luma(Rgb c) { return static_cast<uint8_t>((kYr * c.r + kYg * c.g + kYb * c.b + 32768) >> 16); }

uint8_t Chroma(int32_t weighted) { return static_cast<uint8_t>(std::min((weighted + kChromaBias) >> 18, 255)); }

#if defined(__SSE2__)
// ---- the fast converter: the same integer arithmetic, 16 pixels a step ------
//
// Components are widened in 16-bit lanes; the weighted sums are formed in
// 32-bit lanes with pmaddwd, whose factors are signed 16-bit: kYg (38470)
// goes in as kYg - 65536 with 65536 g added back (g << 16 is the high half
// of the interleaved (r, g) lane itself), and a factor of 32768 as two of
// 16384.

struct Lanes {
  __m128i r, g, b;  // 8 pixels, 0..255 each
};

template <PixelLayout Layout>
inline Lanes WidenLanes(const uint16_t* at) {
  const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i five = _mm_set1_epi16(31);
  __m128i r, g;
  if constexpr (Layout == PixelLayout::Rgb555) {
    r = _mm_and_si128(_mm_srli_epi16(pixels, 10), five);
    const __m128i g5 = _mm_and_si128(_mm_srli_epi16(pixels, 5), five);
    g = _mm_or_si128(_mm_slli_epi16(g5, 3), _mm_srli_epi16(g5, 2));
  } else {
    r = _mm_srli_epi16(pixels, 11);
    const __m128i g6 = _mm_and_si128(_mm_srli_epi16(pixels, 5), _mm_set1_epi16(63));
    g = _mm_or_si128(_mm_slli_epi16(g6, 2), _mm_srli_epi16(g6, 4));
  }
  const __m128i b = _mm_and_si128(pixels, five);
  return {_mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2)), g,
          _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2))};
}

inline __m128i Pair(int32_t low, int32_t high) {
  return _mm_set1_epi32(
      static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16 | static_cast<uint16_t>(low)));
}

// Luma of 4 pixels in 32-bit lanes from their interleaved (r, g) and (b, 2).
inline __m128i LumaHalf(__m128i rg, __m128i b2) {
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(rg, Pair(kYr, kYg - 65536)),
                                    _mm_and_si128(rg, _mm_set1_epi32(static_cast<int32_t>(0xFFFF0000u))));
  return _mm_srli_epi32(_mm_add_epi32(sum, _mm_madd_epi16(b2, Pair(kYb, 16384))), 16);
}

// Luma of 8 pixels in 16-bit lanes.
inline __m128i Luma8(const Lanes& c) {
  const __m128i two = _mm_set1_epi16(2);
  return _mm_packs_epi32(LumaHalf(_mm_unpacklo_epi16(c.r, c.g), _mm_unpacklo_epi16(c.b, two)),
                         LumaHalf(_mm_unpackhi_epi16(c.r, c.g), _mm_unpackhi_epi16(c.b, two)));
}

// The sums of horizontal pairs of a 16-pixel stretch's components (given
// as two 8-pixel halves): 8 sums in 16-bit lanes.
inline __m128i PairSums(__m128i left, __m128i right) {
  const __m128i ones = _mm_set1_epi16(1);
  return _mm_packs_epi32(_mm_madd_epi16(left, ones), _mm_madd_epi16(right, ones));
}

// One chroma plane's value of 4 blocks in 32-bit lanes: weights for the
// interleaved (x, y) sums plus z * 32768 as (z, z) * 16384.
inline __m128i ChromaHalf(__m128i xy, __m128i zz, __m128i weights) {
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(xy, weights), _mm_madd_epi16(zz, _mm_set1_epi16(16384)));
  return _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(kChromaBias)), 18);
}

// 8 blocks' chroma bytes (the low 8 of the result); packus clamps at 255.
inline __m128i Chroma8(__m128i x, __m128i y, __m128i z, __m128i weights) {
  const __m128i low = ChromaHalf(_mm_unpacklo_epi16(x, y), _mm_unpacklo_epi16(z, z), weights);
  const __m128i high = ChromaHalf(_mm_unpackhi_epi16(x, y), _mm_unpackhi_epi16(z, z), weights);
  const __m128i packed = _mm_packs_epi32(low, high);
  return _mm_packus_epi16(packed, packed);
}

template <PixelLayout Layout>
void ConvertFast(const uint16_t* pixels, int32_t pitch, uint8_t* y, uint8_t* cb, uint8_t* cr) {
  for (int32_t row = 0; row < kHeight; row += 2) {
    const uint16_t* top = Row(pixels, pitch, row);
    const uint16_t* bottom = Row(pixels, pitch, row + 1);
    uint8_t* yTop = y + static_cast<size_t>(row) * kWidth;
    uint8_t* cbRow = cb + static_cast<size_t>(row / 2) * (kWidth / 2);
    uint8_t* crRow = cr + static_cast<size_t>(row / 2) * (kWidth / 2);
    for (int32_t x = 0; x < kWidth; x += 16) {
      const Lanes t0 = WidenLanes<Layout>(top + x), t1 = WidenLanes<Layout>(top + x + 8);
      const Lanes b0 = WidenLanes<Layout>(bottom + x), b1 = WidenLanes<Layout>(bottom + x + 8);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(yTop + x), _mm_packus_epi16(Luma8(t0), Luma8(t1)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(yTop + kWidth + x), _mm_packus_epi16(Luma8(b0), Luma8(b1)));
      // Block sums reach 1020: still within 16-bit lanes.
      const __m128i r = PairSums(_mm_add_epi16(t0.r, b0.r), _mm_add_epi16(t1.r, b1.r));
      const __m128i g = PairSums(_mm_add_epi16(t0.g, b0.g), _mm_add_epi16(t1.g, b1.g));
      const __m128i b = PairSums(_mm_add_epi16(t0.b, b0.b), _mm_add_epi16(t1.b, b1.b));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(cbRow + x / 2), Chroma8(r, g, b, Pair(kCbR, kCbG)));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(crRow + x / 2), Chroma8(g, b, r, Pair(kCrG, kCrB)));
    }
  }
}
#endif

}  // namespace

void ConvertToYuv420Plain(const uint16_t* pixels, int32_t pitch, PixelLayout layout, uint8_t* y, uint8_t* cb,
                          uint8_t* cr) {
  for (int32_t row = 0; row < kHeight; ++row) {
    const uint16_t* line = Row(pixels, pitch, row);
    for (int32_t x = 0; x < kWidth; ++x) y[static_cast<size_t>(row) * kWidth + x] = Luma(Widen(line[x], layout));
  }
  for (int32_t row = 0; row < kHeight; row += 2) {
    const uint16_t* top = Row(pixels, pitch, row);
    const uint16_t* bottom = Row(pixels, pitch, row + 1);
    for (int32_t x = 0; x < kWidth; x += 2) {
      Rgb sum{0, 0, 0};
      for (uint16_t pixel : {top[x], top[x + 1], bottom[x], bottom[x + 1]}) {
        const Rgb c = Widen(pixel, layout);
        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
      }
      const size_t at = static_cast<size_t>(row / 2) * (kWidth / 2) + static_cast<size_t>(x / 2);
      cb[at] = Chroma(kCbR * sum.r + kCbG * sum.g + kCbB * sum.b);
      cr[at] = Chroma(kCrR * sum.r + kCrG * sum.g + kCrB * sum.b);
    }
  }
}

void ConvertToYuv420(const uint16_t* pixels, int32_t pitch, PixelLayout layout, uint8_t* y, uint8_t* cb, uint8_t* cr) {
#if defined(__SSE2__)
  if (layout == PixelLayout::Rgb555)
    ConvertFast<PixelLayout::Rgb555>(pixels, pitch, y, cb, cr);
  else
    ConvertFast<PixelLayout::Rgb565>(pixels, pitch, y, cb, cr);
#else
  ConvertToYuv420Plain(pixels, pitch, layout, y, cb, cr);
#endif
}

Y4mWriter::~Y4mWriter() { Close(); }

bool Y4mWriter::Open(const std::string& path, std::string& error) {
  Close();
  if (!file_.Open(path)) {
    error = "cannot write the recording " + path + ": " + std::strerror(file_.Error());
    return false;
  }
  failed_.store(false);
  file_.Write(kStreamHeader, kStreamHeaderBytes);  // buffered: it goes out with the first frame
  // Black until the first picture: Y 0, chroma at its middle.
  for (std::vector<uint8_t>& picture : pictures_) {
    picture.assign(kTagBytes + kLumaBytes + 2 * kChromaBytes, 128);
    std::memcpy(picture.data(), kFrameTag, kTagBytes);
    std::fill_n(picture.begin() + kTagBytes, kLumaBytes, uint8_t{0});
  }
  current_ = 0;
  frames_ = 0;
  unwritten_ = {};
  closing_ = false;
  writer_ = std::thread([this] { WriteLoop(); });
  return true;
}

void Y4mWriter::SetPicture(const uint16_t* pixels, int32_t pitch, PixelLayout layout) {
  if (!IsOpen() || failed_.load()) return;
  size_t free = 0;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
      for (free = 0; free < kPictures; ++free)
        if (unwritten_[free] == 0) return true;
      return false;
    });
  }
  // No queued frame refers to it, so the writer does not read it.
  uint8_t* y = pictures_[free].data() + kTagBytes;
  ConvertToYuv420(pixels, pitch, layout, y, y + kLumaBytes, y + kLumaBytes + kChromaBytes);
  std::lock_guard lock(mutex_);
  current_ = free;
}

void Y4mWriter::WriteFrames(uint64_t count) {
  if (!IsOpen() || count == 0) return;
  frames_ += count;
  if (failed_.load()) return;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({current_, count});
    unwritten_[current_] += count;
  }
  changed_.notify_all();
}

// The writer's thread owns the file from Open to Close. After a failure it
// still takes the queued frames off, unwritten, so that SetPicture never
// waits for them.
void Y4mWriter::WriteLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || !queue_.empty(); });
    if (queue_.empty()) return;  // closing, and everything written
    const Queued next = queue_.front();
    queue_.pop_front();
    lock.unlock();
    const std::vector<uint8_t>& picture = pictures_[next.picture];
    for (uint64_t i = 0; i < next.count && !failed_.load(); ++i)
      if (!file_.Write(picture.data(), picture.size())) Fail();
    lock.lock();
    unwritten_[next.picture] -= next.count;
    changed_.notify_all();
  }
}

// The first failed write: said once for the run; the file keeps the whole
// frames that reached it.
void Y4mWriter::Fail() {
  failed_.store(true);
  TheWriteFailures().Report("the recording", file_.Path(), file_.Error());
  if (!file_.IsRegular()) return;
  const uint64_t written = file_.Written();
  const uint64_t frameBytes = pictures_[0].size();
  if (written < kStreamHeaderBytes ||
      !file_.Truncate(kStreamHeaderBytes + (written - kStreamHeaderBytes) / frameBytes * frameBytes))
    file_.Remove();
}

void Y4mWriter::StopWriting() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void Y4mWriter::Close() {
  if (!IsOpen()) return;
  StopWriting();
  // The header alone is still buffered when no frame was written.
  if (!failed_.load() && !file_.Flush()) Fail();
  CloseReportingFailure(file_, "the recording");
}

void Y4mWriter::Discard() {
  if (!IsOpen()) return;
  StopWriting();
  file_.Remove();
}

}  // namespace kaze::host
