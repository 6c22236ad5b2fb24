// CreateDIBitmap: a device-independent bitmap made into a bitmap in the
// display's 16-bit format.
#include "port_gdi.h"
#include <wingdi.h>

#include "platform/gdi32/dib.h"
#include "platform/setup/faults.h"
#include "platform/gdi32/gdi_objects.h"
#include "platform/setup/settings.h"

namespace kaze::platform {

namespace {

HBITMAP BitmapFromPixels(DibPixels&& decoded) {
  return NewBitmap(decoded.width, decoded.height, TheSettings().displayLayout, std::move(decoded.pixels));
}

// The most the info part of a DIB can take: the largest header, three masks
// and a full 256-colour table.
constexpr size_t kLargestInfoBytes = 124 + 3 * 4 + 256 * 4;

// What the header itself says its parts take: header, masks and colour
// table; the pixel data uncompressed, or biSizeImage when run-length coded.
// This is all an entry without lengths can go by: claiming the largest info
// part lets the parser take the header's word for it.
bool SizesFromHeader(const BITMAPINFO* info, size_t& infoBytes, size_t& bitsBytes) {
  std::optional<DibHeader> parsed = ParseDibHeader(reinterpret_cast<const uint8_t*>(info), kLargestInfoBytes);
  if (!parsed) return false;
  infoBytes = parsed->infoBytes;
  bitsBytes = parsed->compression == BI_RLE8 || parsed->compression == BI_RLE4
                  ? parsed->sizeImage
                  : static_cast<size_t>(DibUncompressedBytes(*parsed));
  return true;
}

}  // namespace

}  // namespace kaze::platform

using namespace kaze::platform;

HBITMAP PortCreateDIBitmap(HDC dc, const BITMAPINFO* info, size_t infoBytes, const void* bits, size_t bitsBytes,
                           UINT usage) {
  if (CheckFault("CreateDIBitmap")) return nullptr;
  if (usage != DIB_RGB_COLORS || info == nullptr) return nullptr;
  std::optional<DibPixels> decoded =
      DecodeDib(reinterpret_cast<const uint8_t*>(info), infoBytes, static_cast<const uint8_t*>(bits), bitsBytes,
                TheSettings().displayLayout);
  return decoded ? BitmapFromPixels(std::move(*decoded)) : nullptr;
}

// Windows' own entry trusts the header for the lengths of both buffers, and
// so does this one; outside bytes go through PortCreateDIBitmap. Without
// CBM_INIT the bitmap has the header's size and is black. The bits are
// taken in the header's size only: `header` and `info` must describe the
// same picture.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (header == nullptr) return nullptr;
  if ((init & CBM_INIT) == 0) {
    if (CheckFault("CreateDIBitmap")) return nullptr;
    if (header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == INT32_MIN) return nullptr;
    const int32_t height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    if (header->biWidth > kDibMaxSide || height > kDibMaxSide || int64_t{header->biWidth} * height > kDibMaxPixels)
      return nullptr;
    return NewBitmap(header->biWidth, height, TheSettings().displayLayout);
  }
  if (info == nullptr || bits == nullptr) return nullptr;
  if (info->bmiHeader.biWidth != header->biWidth || info->bmiHeader.biHeight != header->biHeight) return nullptr;
  size_t infoBytes = 0;
  size_t bitsBytes = 0;
  if (!SizesFromHeader(info, infoBytes, bitsBytes)) return nullptr;
  return PortCreateDIBitmap(dc, info, infoBytes, bits, bitsBytes, usage);
}
