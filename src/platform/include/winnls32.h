// The input-method editor switch. The SDK declares it here, apart from
// windows.h.
#pragma once

#include "windef.h"

BOOL WINAPI WINNLSEnableIME(HWND hwnd, BOOL enable);
