// The trace's JSON strings, and reading them back.
#include "host/headless/trace_writer.h"

#include <gtest/gtest.h>

#include "support/kaze_run.h"

namespace kaze::test {
namespace {

TEST(TraceJson, EscapesWhatJsonNeedsAndKeepsUtf8Text) {
  EXPECT_EQ(host::JsonString("plain"), "\"plain\"");
  EXPECT_EQ(host::JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
  // Japanese message box text passes through as UTF-8.
  EXPECT_EQ(host::JsonString("\xE7\x94\xBB\xE5\x83\x8F"), "\"\xE7\x94\xBB\xE5\x83\x8F\"");
  // Bytes that are not UTF-8 (Shift_JIS, a cut sequence, a surrogate) become U+FFFD.
  EXPECT_EQ(host::JsonString("\x82\xA0"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(host::JsonString("x\xE7\x94"), "\"x\\ufffd\\ufffd\"");
  EXPECT_EQ(host::JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  auto parsed = ParseTraceLine("{\"t\":5,\"ev\":\"msgbox\",\"text\":" + host::JsonString("\xE7\x94\xBB\"") + "}");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Str("text"), "\xE7\x94\xBB\"");
}

}  // namespace
}  // namespace kaze::test
