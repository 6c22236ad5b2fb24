// The numbers of the executable's resources and of the command they give.
// Plain macros: the resource script (windows/kaze.rc) includes this header
// too, and the resource compiler knows no C++.
#pragma once

#define KAZE_ICON_GROUP 149         // group icon: 32x32/256, 32x32/16, 16x16/16 colours
#define KAZE_ACCELERATOR_TABLE 113  // ESC and Alt+F4
#define KAZE_CMD_QUIT 40001         // the command both accelerators give
