// Names of DirectDraw results and their report.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "display/ddraw_errors.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

// The names are found by a binary search over the codes: a code out of
// order would hide its neighbours.
TEST(DirectDrawErrorNames, All101CodesInAscendingOrderGiveTheirHeaderNamesOthersAreUnknown) {
  ASSERT_EQ(DirectDrawErrorNameCount(), 101);
  std::set<std::string> names;
  for (int i = 0; i < DirectDrawErrorNameCount(); ++i) {
    names.insert(DirectDrawErrorName(DirectDrawErrorCodeAt(i)));
    if (i > 0) {
      EXPECT_LT(uint32_t(DirectDrawErrorCodeAt(i - 1)), uint32_t(DirectDrawErrorCodeAt(i))) << i;
    }
  }
  EXPECT_EQ(names.size(), 101u);
  const std::pair<uint32_t, const char*> known[] = {
      {0, "DD_OK"},
      {0x80004001, "DDERR_UNSUPPORTED"},
      {0x800401F0, "DDERR_NOTINITIALIZED"},
      {0x80070057, "DDERR_INVALIDPARAMS"},
      {0x887601C2, "DDERR_SURFACELOST"},
      {0x8876017C, "DDERR_OUTOFVIDEOMEMORY"},
      {0x88760078, "DDERR_INVALIDMODE"},
      {0x887602A8, "DDERR_NOTPAGELOCKED"},
      {0x887600FF, "DDERR_NOTFOUND"},
      {0x88760001, "Unknown Error"},
      {0x887602B2, "Unknown Error"},  // DDERR_MOREDATA, a later release
      {1, "Unknown Error"},
  };
  for (const auto& [code, name] : known) EXPECT_STREQ(DirectDrawErrorName(static_cast<HRESULT>(code)), name) << code;
}

class ErrorReport : public HeadlessTest {};

TEST_F(ErrorReport, ShowsTheNameInItsBoxThenWritesItToTheDebugger) {
  StartHost();
  ReportDirectDrawError(nullptr, 0);
  ReportDirectDrawError(nullptr, static_cast<HRESULT>(0x88761234));
  auto lines = TraceOf();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].ev, "msgbox");
  EXPECT_EQ(lines[0].Str("caption"), "DirectDraw Error");
  EXPECT_EQ(lines[0].Str("text"), "DD_OK");
  EXPECT_EQ(lines[1].ev, "debug");
  EXPECT_EQ(lines[1].Str("text"), "DD_OK");
  EXPECT_EQ(lines[2].Str("text"), "Unknown Error");
  EXPECT_EQ(lines[3].Str("text"), "Unknown Error");
}

}  // namespace
}  // namespace kaze::test
