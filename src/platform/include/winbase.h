// Kernel calls: time, sleeping, debugger output.
#pragma once

#include "windef.h"

DWORD GetTickCount();
void Sleep(DWORD milliseconds);
void OutputDebugStringA(LPCSTR text);
