// The input script of headless runs: its lines, its file, and what its
// actions do when their time comes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "host/headless/script.h"
#include "support/kaze_run.h"

namespace kaze::host {
namespace {

using test::TempDir;

struct Timed {
  uint64_t time;
  InputChange change;
};

// Every change a script makes, with the time of its action.
std::vector<Timed> Play(const std::string& text) {
  std::vector<ScriptAction> actions;
  std::string error;
  EXPECT_TRUE(ParseScript(text, actions, error)) << error;
  std::vector<Timed> played;
  ScriptPlayer player(actions);
  for (const ScriptAction& action : actions) {
    std::vector<InputChange> changes;
    player.ChangesUpTo(action.time, changes);
    for (const InputChange& change : changes) played.push_back({action.time, change});
  }
  return played;
}

// The key events a script queues: key, pressed, with the system-key flag.
std::vector<std::tuple<uint32_t, bool, bool>> QueuedKeys(const std::string& text) {
  std::vector<std::tuple<uint32_t, bool, bool>> keys;
  for (const Timed& played : Play(text))
    if (played.change.kind == InputChange::Kind::QueueEvent && played.change.event.kind == Event::Kind::Key)
      keys.emplace_back(played.change.event.virtualKey, played.change.event.down, played.change.event.alt);
  return keys;
}

TEST(Script, ReadsEveryKindOfLineInTimeOrder) {
  const std::vector<Timed> played = Play(
      "# a comment\n"
      "500 close\n"
      "100 mouse 10 -20   # trailing comment\n"
      "\n"
      "200 click right 5 6\n"
      "300 key down SPACE\n"
      "400 focus lost\n"
      "450 lose-surfaces\n");
  using Kind = InputChange::Kind;
  ASSERT_EQ(played.size(), 10u);
  EXPECT_EQ(played[0].time, 100u);
  EXPECT_EQ(played[0].change.kind, Kind::MovePointer);
  EXPECT_EQ(played[0].change.y, -20);
  EXPECT_EQ(played[1].change.event.kind, Event::Kind::MouseMove);
  EXPECT_EQ(played[2].change.kind, Kind::MovePointer);  // click: pointer, then press at 200
  EXPECT_EQ(played[3].change.kind, Kind::Button);
  EXPECT_EQ(played[3].change.virtualKey, 2u);
  EXPECT_TRUE(played[3].change.down);
  EXPECT_EQ(played[4].time, 300u);  // the click's release, 100 ms later, before the later line
  EXPECT_FALSE(played[4].change.down);
  EXPECT_EQ(played[5].change.kind, Kind::HoldKey);  // space at 300
  EXPECT_EQ(played[5].change.virtualKey, 0x20u);
  EXPECT_EQ(played[6].change.event.kind, Event::Kind::Key);
  EXPECT_EQ(played[7].change.event.kind, Event::Kind::Focus);
  EXPECT_FALSE(played[7].change.event.gained);
  EXPECT_EQ(played[8].change.event.kind, Event::Kind::SurfacesLost);
  EXPECT_EQ(played[9].time, 500u);
  EXPECT_EQ(played[9].change.event.kind, Event::Kind::Close);
}

// As Windows sends them: a key pressed while Alt is held, by ALT+ or by a
// held ALT, is a system key; Alt's own press is one, its release and the
// keys after it are not.
TEST(Script, KeysPressedWhileAltIsHeldAreSystemKeys) {
  using Keys = std::vector<std::tuple<uint32_t, bool, bool>>;
  EXPECT_EQ(QueuedKeys("1000 key alt+f4\n"),
            (Keys{{0x12, true, true}, {0x73, true, true}, {0x73, false, true}, {0x12, false, false}}));
  EXPECT_EQ(QueuedKeys("10 key down ALT\n20 key down F4\n30 key up F4\n40 key up ALT\n50 key F4\n"),
            (Keys{{0x12, true, true},
                  {0x73, true, true},
                  {0x73, false, true},
                  {0x12, false, false},
                  {0x73, true, false},
                  {0x73, false, false}}));
}

// Held Alt and F4's press reach the program as Alt+F4 does: the run ends
// soon after, not at --until.
TEST(Script, HeldAltThenF4EndsTheRunAsAltF4Does) {
  for (const char* script : {"1000 key ALT+F4\n", "990 key down ALT\n1000 key down F4\n"}) {
    const test::KazeRun run = test::RunKaze({"--until", "20000"}, script);
    EXPECT_EQ(run.exitCode, 0) << script << run.stderrText;
    const test::TraceLine* exit = test::Last(run.trace, "exit");
    ASSERT_NE(exit, nullptr) << script;
    EXPECT_GE(exit->t, 1000) << script;
    EXPECT_LE(exit->t, 1000 + 100 + 20 + 2) << script;
  }
}

TEST(Script, BadLinesAreNamedByNumber) {
  const std::pair<const char*, const char*> bad[] = {
      {"100 mouse 1\n", "line 1: mouse needs x y"},
      {"\n\nabc close\n", "line 3: a line starts with its time in ms"},
      {"-5 close\n", "line 1: a line starts with its time in ms"},
      {"10 jump\n", "line 1: unknown event 'jump'"},
      {"10 key HYPER\n", "line 1: unknown key 'HYPER'"},
      {"10 key down HYPER\n", "line 1: unknown key 'HYPER'"},
      {"10 close now\n", "line 1: unexpected 'now' at the end of the line"},
      {"10 focus maybe\n", "line 1: focus needs lost or gained"},
      {"10 down middle\n", "line 1: down needs left or right"},
      {"10\n", "line 1: missing event after the time"},
      {"10 close\n\xEF\xBB\xBF"
       "20 close\n",
       "line 2: a line starts with its time in ms"},  // a mark only leads
  };
  for (const auto& [text, message] : bad) {
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_FALSE(ParseScript(text, actions, error)) << text;
    EXPECT_EQ(error, message) << text;
  }
}

// A script file is a readable regular file of bounded size, which an
// editor may have begun with a UTF-8 byte-order mark; anything else is
// refused, before it is read, with one line that names it.
TEST(Script, OnlyARegularFileOfBoundedSizeIsReadAsAScript) {
  TempDir dir;
  std::vector<ScriptAction> actions;
  std::string error;
  const auto marked = dir.Write("marked.txt",
                                "\xEF\xBB\xBF"
                                "100 key ESC\r\n200 close\r\n");
  ASSERT_TRUE(ReadScriptFile(marked.string(), actions, error)) << error;
  EXPECT_EQ(actions.size(), 2u);

  const auto large = dir.Write("large.txt", "");
  std::filesystem::resize_file(large, kMaxScriptBytes + 1);  // sparse: nothing is written
  const auto fifo = dir.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto bad = dir.Write("bad.txt", "100 close\n200 wave hello\n");
  const std::string missing = (dir.path() / "missing").string();
  const std::pair<std::string, std::string> refused[] = {
      {dir.path().string(), "the script " + dir.path().string() + " is a folder, not a file"},
      {"/dev/zero", "the script /dev/zero is not a regular file"},
      {fifo.string(), "the script " + fifo.string() + " is not a regular file"},
      {missing, "cannot read the script " + missing + ": No such file or directory"},
      {large.string(), "the script " + large.string() + " is larger than 16 MB; a script holds one input event a line"},
      {bad.string(), bad.string() + ": line 2: unknown event 'wave'"},
  };
  for (const auto& [path, message] : refused) {
    actions.clear();
    EXPECT_FALSE(ReadScriptFile(path, actions, error)) << path;
    EXPECT_EQ(error, message);
  }
}

// A line costs about what its text does, so that the size limit bounds a
// script's memory too (each key press once took four 56-byte actions).
TEST(Script, ALineTakesNoMoreMemoryThanItsText) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 50000; ++i) {
    const std::string time = std::to_string(i * 10);
    text += time + " key SPACE\n" + time + " key ALT+F4\n" + time + " mouse 320 240\n" + time + " click left 1 2\n";
  }
  std::vector<ScriptAction> actions;
  std::string error;
  ASSERT_TRUE(ReadScriptFile(dir.Write("long.txt", text).string(), actions, error)) << error;
  EXPECT_LE(actions.capacity() * sizeof(ScriptAction), 2 * text.size());
}

}  // namespace
}  // namespace kaze::host
