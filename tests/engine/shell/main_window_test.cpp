// The main window's answers to activation and the quit keys.
#include <gtest/gtest.h>
#include <windows.h>

#include "shell/main_window.h"
#include "shell/shared_flags.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class WindowProc : public HeadlessTest {};

TEST_F(WindowProc, ActivationBeforeTheDisplayIsReadyIsSwallowed) {
  StartHost();
  AppActive.store(0);
  EXPECT_EQ(MainWndProc(nullptr, WM_ACTIVATEAPP, TRUE, 0), 0);
  EXPECT_EQ(AppActive.load(), 0);
  DisplayReady.store(1);
  MainWndProc(nullptr, WM_ACTIVATEAPP, TRUE, 0);  // no surfaces: nothing to restore
  EXPECT_EQ(AppActive.load(), 1);
  MainWndProc(nullptr, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(AppActive.load(), 0);
  EXPECT_TRUE(TraceOf("msgbox").empty());
}

TEST_F(WindowProc, EscWithoutTheAcceleratorTableStillClosesOtherKeysDoNot) {
  StartHost();
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "proc-test";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "proc-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  MainWndProc(window, WM_KEYDOWN, 'A', 0);
  MainWndProc(window, WM_KEYDOWN, VK_SPACE, 0);
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  MainWndProc(window, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(msg.hwnd, window);
}

}  // namespace
}  // namespace kaze::test
