// The input script of headless runs.
#include <gtest/gtest.h>

#include "host/headless/script.h"

namespace kaze::host {
namespace {

TEST(Script, ReadsEveryKindOfLineInTimeOrder) {
  std::vector<ScriptAction> actions;
  std::string error;
  ASSERT_TRUE(ParseScript("# a comment\n"
                          "500 close\n"
                          "100 mouse 10 -20   # trailing comment\n"
                          "\n"
                          "200 click right 5 6\n"
                          "300 key down SPACE\n"
                          "400 focus lost\n"
                          "450 lose-surfaces\n",
                          actions, error))
      << error;
  ASSERT_EQ(actions.size(), 10u);
  EXPECT_EQ(actions[0].time, 100u);
  EXPECT_EQ(actions[0].kind, ScriptAction::Kind::MovePointer);
  EXPECT_EQ(actions[0].y, -20);
  EXPECT_EQ(actions[1].event.kind, Event::Kind::MouseMove);
  EXPECT_EQ(actions[2].kind, ScriptAction::Kind::MovePointer);  // click: pointer, then press at 200
  EXPECT_EQ(actions[3].kind, ScriptAction::Kind::Button);
  EXPECT_EQ(actions[3].virtualKey, 2u);
  EXPECT_TRUE(actions[3].down);
  EXPECT_EQ(actions[4].time, 300u);  // the click's release, 100 ms later, before the later line
  EXPECT_FALSE(actions[4].down);
  EXPECT_EQ(actions[5].kind, ScriptAction::Kind::HoldKey);  // space at 300
  EXPECT_EQ(actions[5].virtualKey, 0x20u);
  EXPECT_EQ(actions[6].event.kind, Event::Kind::Key);
  EXPECT_EQ(actions[7].event.kind, Event::Kind::Focus);
  EXPECT_FALSE(actions[7].event.gained);
  EXPECT_EQ(actions[8].event.kind, Event::Kind::SurfacesLost);
  EXPECT_EQ(actions[9].time, 500u);
  EXPECT_EQ(actions[9].event.kind, Event::Kind::Close);
}

TEST(Script, AltF4PressesAltAroundF4AsSystemKeys) {
  std::vector<ScriptAction> actions;
  std::string error;
  ASSERT_TRUE(ParseScript("1000 key alt+f4\n", actions, error)) << error;
  std::vector<std::pair<uint32_t, bool>> queued;
  for (const ScriptAction& action : actions) {
    EXPECT_EQ(action.time, 1000u);
    if (action.kind != ScriptAction::Kind::QueueEvent) continue;
    EXPECT_TRUE(action.event.alt || (action.event.virtualKey == 0x12 && !action.event.down));
    queued.emplace_back(action.event.virtualKey, action.event.down);
  }
  EXPECT_EQ(queued, (std::vector<std::pair<uint32_t, bool>>{{0x12, true}, {0x73, true}, {0x73, false}, {0x12, false}}));
}

TEST(Script, BadLinesAreNamedByNumber) {
  const std::pair<const char*, const char*> bad[] = {
      {"100 mouse 1\n", "line 1: mouse needs x y"},
      {"\n\nabc close\n", "line 3: a line starts with its time in ms"},
      {"-5 close\n", "line 1: a line starts with its time in ms"},
      {"10 jump\n", "line 1: unknown event 'jump'"},
      {"10 key HYPER\n", "line 1: unknown key 'HYPER'"},
      {"10 close now\n", "line 1: unexpected 'now' at the end of the line"},
      {"10 focus maybe\n", "line 1: focus needs lost or gained"},
      {"10 down middle\n", "line 1: down needs left or right"},
      {"10\n", "line 1: missing event after the time"},
  };
  for (const auto& [text, message] : bad) {
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_FALSE(ParseScript(text, actions, error)) << text;
    EXPECT_EQ(error, message) << text;
  }
}

}  // namespace
}  // namespace kaze::host
