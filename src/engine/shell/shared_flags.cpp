#include "shell/shared_flags.h"

std::atomic<DisplayDevice*> TheDisplay{nullptr};
std::atomic<int32_t> DisplayReady{0};
std::atomic<int32_t> AppActive{0};
std::atomic<int32_t> QuitRequested{0};
std::atomic<int32_t> GameThreadDone{0};
