// CreateDIBitmap with the lengths of its buffers.
#pragma once

#include <cstddef>

#include <windows.h>

// CreateDIBitmap has no way to learn how long its buffers are: it trusts the
// header, so a forged header makes it read past them. The image loader, which
// knows where its decoded picture ends, calls this entry instead: `info`
// (header, masks, colour table) may take at most infoBytes bytes and the
// pixel data at most bitsBytes, and a header that asks for more makes the
// call fail with null. Otherwise it is CreateDIBitmap(dc, &info->bmiHeader,
// CBM_INIT, bits, info, usage). (On Windows it checks the same and calls
// CreateDIBitmap.)
HBITMAP PortCreateDIBitmap(HDC dc, const BITMAPINFO* info, size_t infoBytes, const void* bits, size_t bitsBytes,
                           UINT usage);
