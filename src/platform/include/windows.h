// The subset of the Windows API that the program calls, by its real names.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"
