// The scenario's input calls on the headless host.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "shell/input.h"
#include "shell/main_window.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class Input : public HeadlessTest {
 protected:
  void OpenWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "input-test";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    MainWindow = CreateWindowExA(0, "input-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(MainWindow, nullptr);
  }
};

// Requests that would not change the state are never posted, so the
// system's cursor count moves only between shown and one below.
TEST_F(Input, CursorRequestsArePostedOnlyWhenTheStateChangesAndTheMainWindowCarriesThemOut) {
  StartHost();
  OpenWindow();
  SetCursorVisible(1);  // shown at start: nothing to ask
  SetCursorVisible(0);
  SetCursorVisible(0);
  SetCursorVisible(1);
  SetCursorVisible(1);
  EXPECT_EQ(CursorShown, 1);
  MSG msg{};
  std::vector<WPARAM> requests;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == MSG_SHOW_CURSOR) requests.push_back(msg.wParam);
    MainWndProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  }
  EXPECT_EQ(requests, (std::vector<WPARAM>{0, 1}));
  auto cursor = TraceOf("cursor");
  ASSERT_EQ(cursor.size(), 2u);
  EXPECT_FALSE(cursor[0].Bool("shown"));
  EXPECT_TRUE(cursor[1].Bool("shown"));
  EXPECT_TRUE(host().CursorShown());
}

TEST_F(Input, AHeldButtonReadsDownAtEveryPollAndTheSpaceBarLikewise) {
  host::HeadlessOptions options;
  options.script = Script(
      "100 down left\n300 up left\n200 key down SPACE\n260 key up SPACE\n"
      "400 click right 5 5\n");
  StartHost(options);
  for (int t = 0; t < 600; t += 20) {
    EXPECT_EQ(IsKeyDown(VK_LBUTTON), t >= 100 && t < 300 ? 1 : 0) << t;
    EXPECT_EQ(IsKeyDown(VK_SPACE), t >= 200 && t < 260 ? 1 : 0) << t;
    EXPECT_EQ(IsKeyDown(VK_RBUTTON), t >= 400 && t < 500 ? 1 : 0) << t;
    Sleep(20);
  }
}

TEST_F(Input, MousePositionIsInScreenCoordinatesOfTheWindowAtTheOrigin) {
  host::HeadlessOptions options;
  options.script = Script("50 mouse 320 470\n");
  StartHost(options);
  OpenWindow();
  int32_t x = -1, y = -1;
  GetMousePos(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  Sleep(50);
  GetMousePos(&x, &y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 470);
}

}  // namespace
}  // namespace kaze::test
