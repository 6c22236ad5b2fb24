// CreateDIBitmap behind a check of what the header claims against the
// lengths of the two buffers: GDI itself would read as far as the header
// says.
#include "port_gdi.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// The same bounds as the pictures of this program need (640x480 at most),
// with room to spare; a forged header asks for no more than this.
constexpr int32_t kMaxSide = 8192;
constexpr int64_t kMaxPixels = int64_t{2048} * 2048;

bool IsInfoHeaderSize(DWORD size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool IsValidFormat(const BITMAPINFOHEADER& header) {
  const WORD bits = header.biBitCount;
  switch (header.biCompression) {
    case BI_RGB:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_RLE8:
      return bits == 8 && header.biHeight > 0;  // run-length data is stored bottom-up
    case BI_RLE4:
      return bits == 4 && header.biHeight > 0;
    case BI_BITFIELDS:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

// Header, masks and colour table: what GDI reads of `info`.
uint64_t InfoBytesClaimed(const BITMAPINFOHEADER& header) {
  uint64_t bytes = header.biSize;
  if (header.biCompression == BI_BITFIELDS && header.biSize == 40) bytes += 3 * sizeof(DWORD);
  if (header.biBitCount <= 8) {
    const uint32_t full = 1u << header.biBitCount;
    const uint32_t colours = header.biClrUsed == 0 || header.biClrUsed > full ? full : header.biClrUsed;
    bytes += uint64_t{colours} * sizeof(RGBQUAD);
  }
  return bytes;
}

// What GDI reads of `bits`: whole rows, each padded to 4 bytes, or the
// stated size of a run-length stream.
uint64_t BitsBytesClaimed(const BITMAPINFOHEADER& header, int64_t height) {
  if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) return header.biSizeImage;
  const uint64_t stride = (uint64_t{static_cast<uint32_t>(header.biWidth)} * header.biBitCount + 31) / 32 * 4;
  return stride * static_cast<uint64_t>(height);
}

}  // namespace

HBITMAP PortCreateDIBitmap(HDC dc, const BITMAPINFO* info, size_t infoBytes, const void* bits, size_t bitsBytes,
                           UINT usage) {
  if (info == nullptr || bits == nullptr || usage != DIB_RGB_COLORS) return nullptr;
  if (infoBytes < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, info, sizeof header);  // the header may lie at any byte of a file image
  if (!IsInfoHeaderSize(header.biSize) || header.biSize > infoBytes) return nullptr;
  if (header.biPlanes != 1 || header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN)
    return nullptr;
  const int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
  if (header.biWidth > kMaxSide || height > kMaxSide || header.biWidth * height > kMaxPixels) return nullptr;
  if (!IsValidFormat(header)) return nullptr;
  if (InfoBytesClaimed(header) > infoBytes) return nullptr;
  const uint64_t bitsClaimed = BitsBytesClaimed(header, height);
  if (bitsClaimed == 0 || bitsClaimed > bitsBytes) return nullptr;
  return CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, usage);
}
