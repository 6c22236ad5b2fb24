// The executable's resources as the stand-in's loader reads them, what
// src/windows/kaze.rc is to the Windows build: accelerator table 113 (ESC and
// Alt+F4 give command 40001) and group icon 149.
#pragma once

#include "platform/user32/resources.h"

const kaze::platform::ResourceTable& ExecutableResources();
