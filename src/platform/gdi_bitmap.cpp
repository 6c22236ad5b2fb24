// CreateDIBitmap: a device-independent bitmap made into a bitmap in the
// display's 16-bit format.
#include <port_gdi.h>
#include <wingdi.h>

#include <cstring>

#include "platform/dib.h"
#include "platform/faults.h"
#include "platform/gdi_objects.h"
#include "platform/settings.h"

namespace kaze::platform {

namespace {

HBITMAP BitmapFromPixels(DibPixels&& decoded) {
  return NewBitmap(decoded.width, decoded.height, TheSettings().displayLayout, std::move(decoded.pixels));
}

// What the header itself says its parts take: header, masks and colour
// table; the pixel data uncompressed, or biSizeImage when run-length coded.
// This is all the unchecked entry can go by.
bool SizesFromHeader(const BITMAPINFOHEADER* header, size_t& infoBytes, size_t& bitsBytes) {
  uint32_t headerSize = 0;
  std::memcpy(&headerSize, header, sizeof headerSize);
  // A generous first look: the largest header, masks and a full table.
  std::optional<DibHeader> parsed =
      ParseDibHeader(reinterpret_cast<const uint8_t*>(header), headerSize >= 40 && headerSize <= 124 ? 124 + 12 + 1024 : 0);
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
  if (!SizesFromHeader(&info->bmiHeader, infoBytes, bitsBytes)) return nullptr;
  return PortCreateDIBitmap(dc, info, infoBytes, bits, bitsBytes, usage);
}
