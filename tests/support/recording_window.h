// A window of the test's own that records what it is sent, on the headless
// host: `Queue` opens it, gSeen holds each message, a command as 0x10000 +
// its id.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/headless_fixture.h"

namespace kaze::test {

inline std::vector<UINT> gSeen;

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  gSeen.push_back(message == WM_COMMAND ? 0x10000u + LOWORD(wParam) : message);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class Queue : public HeadlessTest {
 protected:
  HWND Open() {
    gSeen.clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "queue-test";
    EXPECT_NE(RegisterClassA(&windowClass), 0);
    return CreateWindowExA(0, "queue-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  }
};

}  // namespace kaze::test
