// The words that the main thread and the game thread share. No lock exists:
// each is written by one side and polled by the other, with plain atomic
// loads and stores (never a read-modify-write).
#pragma once

#include <atomic>
#include <cstdint>

class DisplayDevice;

extern std::atomic<DisplayDevice*> TheDisplay;
extern std::atomic<int32_t> DisplayReady;
extern std::atomic<int32_t> AppActive;
extern std::atomic<int32_t> QuitRequested;
extern std::atomic<int32_t> GameThreadDone;
