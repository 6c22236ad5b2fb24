// The window's message queue and host input as messages.
#include <gtest/gtest.h>
#include <ddraw.h>
#include <windows.h>

#include <vector>

#include "support/recording_window.h"

namespace kaze::test {
namespace {

TEST_F(Queue, MessagesComeInOrderAndQuitComesAfterThem) {
  StartHost();
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(gSeen, std::vector<UINT>{WM_CREATE});
  PostMessageA(window, WM_USER + 1, 0, 0);
  PostQuitMessage(7);
  PostMessageA(window, WM_USER + 2, 0, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(uintptr_t{0xDEAD0}), WM_CLOSE, 0, 0));
}

TEST_F(Queue, ActivationIsSentAtOnceAndCloseIsQueued) {
  host::HeadlessOptions options;
  options.script = Script("0 focus lost\n0 close\n");
  StartHost(options);
  HWND window = Open();
  gSeen.clear();
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(gSeen, std::vector<UINT>{WM_ACTIVATEAPP});
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(msg.hwnd, window);
  DispatchMessageA(&msg);  // DefWindowProcA destroys the window
  EXPECT_EQ(gSeen.back(), static_cast<UINT>(WM_DESTROY));
  RECT client{};
  EXPECT_FALSE(GetClientRect(window, &client));
}

TEST_F(Queue, TheExclusiveDisplayModeMovesTheCentredWindowToTheScreenOrigin) {
  StartHost();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  Open();
  HWND window = CreateWindowExA(0, "queue-test", "", WS_POPUP, 192, 144, 640, 480, nullptr, nullptr, nullptr, nullptr);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(origin.x, 192);
  EXPECT_EQ(origin.y, 144);
  IDirectDraw* ddraw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &ddraw, nullptr), DD_OK);
  ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  EXPECT_EQ(ddraw->SetDisplayMode(800, 600, 16), DDERR_INVALIDMODE);
  ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 16), DD_OK);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  origin = POINT{0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(origin.x, 0);  // so the cursor's screen position is the 640x480 screen's
  EXPECT_EQ(origin.y, 0);
  ddraw->Release();  // gives the desktop's mode back
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}

}  // namespace
}  // namespace kaze::test
