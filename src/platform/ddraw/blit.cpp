// The fast blitter. Where the time goes, for a 640x480 frame:
// - 1:1 opaque rows are one memcpy each, whole frames a single memcpy;
// - keyed rows are a select loop that the compiler vectorises, or AVX2 and
//   AVX-512 compares where the processor has them (keyed_copy.h);
// - a stretched row is computed once per source row and copied for every
//   destination row that repeats it (the 4x zoom computes a quarter of its
//   rows); integer magnification writes each source pixel k times without a
//   column table, any other ratio looks its columns up in a table made once
//   per blit.
#include "platform/ddraw/blit.h"

#include "platform/ddraw/keyed_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kaze::platform {

namespace {

constexpr int64_t kChunk = 16;

void FillRow(uint16_t* to, int64_t count, uint16_t colour) {
  if ((colour & 0xFF) == (colour >> 8)) {  // black, white: one byte value
    std::memset(to, colour & 0xFF, static_cast<size_t>(count) * sizeof(uint16_t));
    return;
  }
  int64_t i = 0;
  for (; i + kChunk <= count; i += kChunk)
    for (int64_t j = 0; j < kChunk; ++j) to[i + j] = colour;
  for (; i < count; ++i) to[i] = colour;
}

// Writes each of `count` source pixels `Factor` times in a row. With SSE2
// (every x86-64) eight source pixels are spread by unpacking into vector
// stores; elsewhere the plain loop does the same.
template <int64_t Factor>
void RepeatPixels(uint16_t* __restrict out, const uint16_t* __restrict from, int64_t count) {
  int64_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= count; i += 8) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    const __m128i pairsLow = _mm_unpacklo_epi16(pixels, pixels), pairsHigh = _mm_unpackhi_epi16(pixels, pixels);
    auto* to = reinterpret_cast<__m128i*>(out + i * Factor);
    if constexpr (Factor == 2) {
      _mm_storeu_si128(to, pairsLow);
      _mm_storeu_si128(to + 1, pairsHigh);
    } else {
      static_assert(Factor == 4);
      _mm_storeu_si128(to, _mm_unpacklo_epi32(pairsLow, pairsLow));
      _mm_storeu_si128(to + 1, _mm_unpackhi_epi32(pairsLow, pairsLow));
      _mm_storeu_si128(to + 2, _mm_unpacklo_epi32(pairsHigh, pairsHigh));
      _mm_storeu_si128(to + 3, _mm_unpackhi_epi32(pairsHigh, pairsHigh));
    }
  }
#endif
  for (; i < count; ++i)
    for (int64_t r = 0; r < Factor; ++r) out[i * Factor + r] = from[i];
}

// Destination columns first .. first+count-1 of a row magnified `factor`
// times: column d shows source pixel d / factor.
void MagnifyRow(uint16_t* __restrict out, const uint16_t* __restrict from, int64_t first, int64_t count,
                int64_t factor) {
  int64_t d = first;
  const int64_t end = first + count;
  while (d < end && d % factor != 0) *out++ = from[d++ / factor];  // the cut first block
  const int64_t wholeBlocks = (end - d) / factor;
  if (factor == 2)
    RepeatPixels<2>(out, from + d / factor, wholeBlocks);
  else if (factor == 4)
    RepeatPixels<4>(out, from + d / factor, wholeBlocks);
  else
    for (int64_t b = 0; b < wholeBlocks; ++b) std::fill_n(out + b * factor, factor, from[d / factor + b]);
  out += wholeBlocks * factor;
  d += wholeBlocks * factor;
  while (d < end) *out++ = from[d++ / factor];  // the cut last block
}

void GatherRow(uint16_t* __restrict out, const uint16_t* __restrict from, const int32_t* columns, int64_t count) {
  for (int64_t i = 0; i < count; ++i) out[i] = from[columns[i]];
}

// How the destination columns of the clipped area map to source columns.
struct ColumnMap {
  int64_t firstColumn = 0;  // area.left - dstRect.left
  int64_t count = 0;        // area width
  int64_t srcLeft = 0;
  int64_t factor = 0;     // > 0: integer magnification; 0: use `columns`
  bool identity = false;  // same width: source column = srcLeft + d
  std::vector<int32_t> columns;

  // The source pixels of one destination row, into `out` (count pixels),
  // or straight from the source row when nothing needs computing.
  const uint16_t* Row(const uint16_t* srcRow, uint16_t* out) const {
    if (identity) return srcRow + srcLeft + firstColumn;
    if (factor > 0)
      MagnifyRow(out, srcRow + srcLeft, firstColumn, count, factor);
    else
      GatherRow(out, srcRow, columns.data(), count);
    return out;
  }
};

// Walks source positions srcStart + d * srcSize / dstSize for d = first,
// first + 1, ... without a division per step.
class NearestStepper {
 public:
  NearestStepper(int64_t first, int64_t srcStart, int64_t srcSize, int64_t dstSize)
      : position_(srcStart + first * srcSize / dstSize),
        remainder_(first * srcSize % dstSize),
        wholeStep_(srcSize / dstSize),
        partStep_(srcSize % dstSize),
        dstSize_(dstSize) {}
  int64_t Position() const { return position_; }
  void Next() {
    position_ += wholeStep_;
    remainder_ += partStep_;
    if (remainder_ >= dstSize_) {
      remainder_ -= dstSize_;
      ++position_;
    }
  }

 private:
  int64_t position_, remainder_, wholeStep_, partStep_, dstSize_;
};

ColumnMap MapColumns(int64_t firstColumn, int64_t count, int64_t srcLeft, int64_t srcWidth, int64_t dstWidth) {
  ColumnMap map;
  map.firstColumn = firstColumn;
  map.count = count;
  map.srcLeft = srcLeft;
  if (srcWidth == dstWidth) {
    map.identity = true;
  } else if (dstWidth % srcWidth == 0) {
    map.factor = dstWidth / srcWidth;
  } else {
    map.columns.resize(static_cast<size_t>(count));
    NearestStepper column(firstColumn, srcLeft, srcWidth, dstWidth);
    for (int64_t i = 0; i < count; ++i, column.Next())
      map.columns[static_cast<size_t>(i)] = static_cast<int32_t>(column.Position());
  }
  return map;
}

// Destination rows of the clipped area, each from its nearest source row;
// a row that repeats the one above is copied from it.
void CopyRowsOpaque(const PixelSurface& dst, const RECT& area, const PixelSurface& src, const ColumnMap& map,
                    NearestStepper rows) {
  const size_t rowBytes = static_cast<size_t>(map.count) * sizeof(uint16_t);
  int64_t previousSrcY = -1;
  const uint16_t* previousRow = nullptr;
  for (LONG y = area.top; y < area.bottom; ++y, rows.Next()) {
    uint16_t* to = dst.Row(y) + area.left;
    const int64_t srcY = rows.Position();
    if (srcY == previousSrcY)
      std::memcpy(to, previousRow, rowBytes);
    else if (map.identity)
      std::memcpy(to, map.Row(src.Row(static_cast<int32_t>(srcY)), nullptr), rowBytes);
    else
      map.Row(src.Row(static_cast<int32_t>(srcY)), to);
    previousSrcY = srcY;
    previousRow = to;
  }
}

// The same with a colour key: each source row is made into destination
// pixels once, then laid over every destination row that shows it.
void CopyRowsKeyed(const PixelSurface& dst, const RECT& area, const PixelSurface& src, const ColumnMap& map,
                   NearestStepper rows, uint16_t key) {
  thread_local std::vector<uint16_t> scratch;
  if (!map.identity) scratch.resize(static_cast<size_t>(map.count));
  int64_t previousSrcY = -1;
  const uint16_t* expanded = nullptr;
  for (LONG y = area.top; y < area.bottom; ++y, rows.Next()) {
    const int64_t srcY = rows.Position();
    if (srcY != previousSrcY) expanded = map.Row(src.Row(static_cast<int32_t>(srcY)), scratch.data());
    CopyKeyed(dst.Row(y) + area.left, expanded, map.count, key);
    previousSrcY = srcY;
  }
}

bool SharesMemory(const PixelSurface& a, const PixelSurface& b) {
  const auto* aBegin = reinterpret_cast<const uint8_t*>(a.pixels);
  const auto* bBegin = reinterpret_cast<const uint8_t*>(b.pixels);
  const auto* aEnd = aBegin + static_cast<intptr_t>(a.height) * a.pitch;
  const auto* bEnd = bBegin + static_cast<intptr_t>(b.height) * b.pitch;
  return aBegin < bEnd && bBegin < aEnd;
}

// The source rectangle copied into `memory`, as a surface of its own.
PixelSurface CopyOut(const PixelSurface& src, const RECT& srcRect, std::vector<uint16_t>* memory) {
  const int32_t width = srcRect.right - srcRect.left, height = srcRect.bottom - srcRect.top;
  memory->resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(memory->data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                src.Row(srcRect.top + y) + srcRect.left, static_cast<size_t>(width) * sizeof(uint16_t));
  return PixelSurface{memory->data(), width, height, static_cast<int32_t>(width * sizeof(uint16_t)), src.layout};
}

}  // namespace

void FillRect(const PixelSurface& dst, const RECT& rect, const RECT& clip, uint16_t colour) {
  const RECT area = Intersect(rect, clip);
  if (IsEmpty(area)) return;
  for (LONG y = area.top; y < area.bottom; ++y)
    FillRow(dst.Row(y) + area.left, int64_t{area.right} - area.left, colour);
}

void StretchBlit(const PixelSurface& dst, const RECT& dstRect, const RECT& clip, const PixelSurface& src,
                 const RECT& srcRect, const uint16_t* key) {
  const int64_t dstWidth = int64_t{dstRect.right} - dstRect.left;
  const int64_t dstHeight = int64_t{dstRect.bottom} - dstRect.top;
  const int64_t srcWidth = int64_t{srcRect.right} - srcRect.left;
  const int64_t srcHeight = int64_t{srcRect.bottom} - srcRect.top;
  const RECT area = Intersect(dstRect, clip);
  if (IsEmpty(area) || dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;

  if (SharesMemory(dst, src)) {
    // Read the whole source before writing anything, as a blitter does.
    std::vector<uint16_t> copy;
    const PixelSurface copySurface = CopyOut(src, srcRect, &copy);
    StretchBlit(dst, dstRect, clip, copySurface, RECT{0, 0, copySurface.width, copySurface.height}, key);
    return;
  }

  const ColumnMap map =
      MapColumns(area.left - dstRect.left, int64_t{area.right} - area.left, srcRect.left, srcWidth, dstWidth);
  const int64_t rowBytes = map.count * static_cast<int64_t>(sizeof(uint16_t));
  if (key == nullptr && map.identity && srcHeight == dstHeight && rowBytes == dst.pitch && rowBytes == src.pitch) {
    // Whole rows on both sides, back to back in memory: one copy.
    const int64_t srcTop = srcRect.top + (area.top - dstRect.top);
    std::memcpy(dst.Row(area.top), src.Row(static_cast<int32_t>(srcTop)),
                static_cast<size_t>(rowBytes * (int64_t{area.bottom} - area.top)));
    return;
  }

  NearestStepper rows(area.top - dstRect.top, srcRect.top, srcHeight, dstHeight);
  if (key == nullptr)
    CopyRowsOpaque(dst, area, src, map, rows);
  else
    CopyRowsKeyed(dst, area, src, map, rows, *key);
}

}  // namespace kaze::platform
