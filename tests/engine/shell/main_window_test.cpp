// The main window's answers to activation and the quit keys, and the
// accelerator table it loads on the platform's queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "shell/main_window.h"
#include "shell/shared_flags.h"
#include "support/recording_window.h"

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

// The modifiers count as they were at each key message: at 60 Shift is
// pressed, ESC typed and Shift released before the queue is read, which
// makes Shift+ESC, not ESC.
TEST_F(Queue, TheAcceleratorTableTurnsEscAndAltF4IntoTheQuitCommandOnly) {
  host::HeadlessOptions options;
  options.script = Script(
      "10 key ESC\n20 key ALT+F4\n30 key F4\n40 key ALT+F5\n50 key F10\n"
      "60 key down SHIFT\n60 key ESC\n60 key up SHIFT\n70 key CTRL\n75 key ESC\n"
      "80 key down SHIFT\n82 focus lost\n84 focus gained\n86 key ESC\n");  // its release went elsewhere
  StartHost(options);
  HWND window = Open();
  HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(113));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(114)), nullptr);
  std::vector<std::pair<uint64_t, UINT>> commands;
  std::vector<UINT> untranslated;
  for (int step = 0; step < 90; ++step) {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      gSeen.clear();
      if (TranslateAcceleratorA(window, table, &msg)) {
        commands.emplace_back(host().Now(), gSeen.at(0));
      } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        untranslated.push_back(static_cast<UINT>(msg.wParam));
      }
    }
    Sleep(1);
  }
  const UINT quit = 0x10000u + CMD_QUIT;
  EXPECT_EQ(commands, (std::vector<std::pair<uint64_t, UINT>>{{10, quit}, {20, quit}, {75, quit}, {86, quit}}));
  EXPECT_EQ(untranslated,
            (std::vector<UINT>{VK_MENU, VK_F4, VK_MENU, 0x74, VK_F10, VK_SHIFT, VK_ESCAPE, VK_CONTROL, VK_SHIFT}));
}

}  // namespace
}  // namespace kaze::test
