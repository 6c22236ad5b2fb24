// The page's keys as the program sees them: by place and by print.
#include "host/web/key_map.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

TEST(WebKeys, StoryKeysByPlaceLettersByPrintBrowserKeysKept) {
  EXPECT_EQ(VirtualKeyOfDomKey("Escape", "Escape"), 0x1Bu);
  EXPECT_EQ(VirtualKeyOfDomKey("Space", " "), 0x20u);
  EXPECT_EQ(VirtualKeyOfDomKey("NumpadEnter", "Enter"), 0x0Du);
  EXPECT_EQ(VirtualKeyOfDomKey("F4", "F4"), 0x73u);
  EXPECT_EQ(VirtualKeyOfDomKey("F6", "F6"), 0x75u);
  EXPECT_EQ(VirtualKeyOfDomKey("F10", "F10"), 0x79u);
  // A French keyboard's "A" sits where a US keyboard has "Q".
  EXPECT_EQ(VirtualKeyOfDomKey("KeyQ", "a"), uint32_t('A'));
  EXPECT_EQ(VirtualKeyOfDomKey("KeyQ", "Q"), uint32_t('Q'));
  EXPECT_EQ(VirtualKeyOfDomKey("Digit7", "7"), uint32_t('7'));
  // Full screen and the developer tools stay the browser's; unknown keys
  // reach nothing.
  EXPECT_EQ(VirtualKeyOfDomKey("F11", "F11"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("F12", "F12"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("Quote", "'"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("", ""), 0u);

  EXPECT_TRUE(IsDomSystemKey("AltLeft", false));
  EXPECT_TRUE(IsDomSystemKey("F10", false));
  EXPECT_TRUE(IsDomSystemKey("F4", true));
  EXPECT_FALSE(IsDomSystemKey("F4", false));
}

}  // namespace
}  // namespace kaze::host
