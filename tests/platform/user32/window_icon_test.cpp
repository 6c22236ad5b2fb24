// The window class's icon reaches the host as pixels when the first window
// opens the screen; the host never looks the icon up itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "host/null_host.h"
#include "platform/user32/resources.h"
#include "resources/icon_149.h"
#include "shell/main_window.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

// A host whose screen always opens, noting the icon of every opening.
class IconRecordingHost final : public host::NullHost {
 public:
  bool OpenScreen(const host::ScreenIcon& icon) override {
    opened.push_back(icon.argb);
    return true;
  }
  std::vector<const uint32_t*> opened;
};

class WindowIcon : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    host::SetHost(&host_);
  }
  void TearDown() override {
    host::SetHost(nullptr);
    HeadlessTest::TearDown();
  }

  // Registers a class with this icon and opens a top-level window of it.
  HWND OpenWindow(const char* className, HICON icon) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    windowClass.hIcon = icon;
    EXPECT_NE(RegisterClassA(&windowClass), 0);
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  }

  IconRecordingHost host_;
};

TEST_F(WindowIcon, TheProgramsIconReachesTheHostOnceAsItsLargePicture) {
  HWND window = OpenWindow("icon-test", LoadIconA(nullptr, MAKEINTRESOURCEA(kIconGroupId)));
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(host_.opened.size(), 1u);
  ASSERT_NE(host_.opened[0], nullptr);
  constexpr auto kExpected = resources::Icon149Pixels();
  static_assert(kExpected.size() == size_t(host::ScreenIcon::kSize) * host::ScreenIcon::kSize);
  EXPECT_TRUE(std::equal(kExpected.begin(), kExpected.end(), host_.opened[0]));

  // A window with a parent shows on the screen that is open already.
  EXPECT_NE(CreateWindowExA(0, "icon-test", "", WS_POPUP, 0, 0, 10, 10, window, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(host_.opened.size(), 1u);
}

TEST_F(WindowIcon, AClassWithoutAnIconOrWithAForeignHandleOpensTheScreenWithNone) {
  HWND window = OpenWindow("no-icon", nullptr);
  ASSERT_NE(window, nullptr);
  DestroyWindow(window);
  const uint32_t notAnIcon = 0;
  ASSERT_NE(OpenWindow("foreign-icon", reinterpret_cast<HICON>(const_cast<uint32_t*>(&notAnIcon))), nullptr);
  EXPECT_EQ(host_.opened, (std::vector<const uint32_t*>{nullptr, nullptr}));
}

// Of a group, the host gets the 32x32 picture with the most colours, whatever
// the order the group lists its pictures in.
TEST_F(WindowIcon, TheGroupsLargePictureWithTheMostColoursIsTheOneHandedDown) {
  const std::array<uint32_t, 32 * 32> few{}, many{};
  const std::array<uint32_t, 16 * 16> small{};
  platform::ResourceTable table;
  table.icons.push_back({7, {{16, 16, 256, small.data()}, {32, 32, 16, few.data()}, {32, 32, 256, many.data()}}});
  table.icons.push_back({8, {{16, 16, 16, small.data()}}});
  platform::InstallResources(&table);
  HWND window = OpenWindow("chosen", LoadIconA(nullptr, MAKEINTRESOURCEA(7)));
  ASSERT_NE(window, nullptr);
  DestroyWindow(window);
  ASSERT_NE(OpenWindow("small-only", LoadIconA(nullptr, MAKEINTRESOURCEA(8))), nullptr);
  EXPECT_EQ(host_.opened, (std::vector<const uint32_t*>{many.data(), nullptr}));
}

}  // namespace
}  // namespace kaze::test
