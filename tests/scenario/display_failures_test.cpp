// Every way the display set-up can fail: its messages, in order, and an
// orderly end with exit code 0.
#include <gtest/gtest.h>

#include "support/kaze_run.h"

namespace kaze::test {
namespace {

struct SetUpFailure {
  const char* fault;
  std::vector<std::pair<std::string, std::string>> boxes;  // caption, text
};

std::vector<std::pair<std::string, std::string>> Boxes(const KazeRun& run) {
  std::vector<std::pair<std::string, std::string>> boxes;
  for (const TraceLine& line : Events(run.trace, "msgbox")) boxes.emplace_back(line.Str("caption"), line.Str("text"));
  return boxes;
}

const std::pair<std::string, std::string> kFinal{"ERROR", "DirectDrawCreate FAILD"};

TEST(DisplaySetUp, EachFailingStepShowsExactlyItsMessagesAndTheProgramEndsInOrder) {
  const std::vector<SetUpFailure> failures = {
      {"DirectDrawCreate=0x80004005", {{"ERROR", "DirectDrawCreate FAILED"}, kFinal}},
      {"IDirectDraw::SetCooperativeLevel=0x80070057", {{"ERROR", "SetCooperativeLevel FAILED"}, kFinal}},
      {"IDirectDraw::SetDisplayMode=0x88760078", {{"ERROR", "SetDisplayMode FAILED"}, kFinal}},
      {"IDirectDraw::CreateSurface=0x8876017C@1",
       {{"ERROR", "CreateSurface FAILED"}, {"DirectDraw Error", "DDERR_OUTOFVIDEOMEMORY"}, kFinal}},
      {"IDirectDrawSurface::GetAttachedSurface=0x887600FF", {{"ERROR", "GetAttachedSurface FAILED"}, kFinal}},
      {"IDirectDraw::CreateSurface=0x8007000E@2",
       {{"ERROR", "CreateOffscreen FAILED"}, {"DirectDraw Error", "DDERR_OUTOFMEMORY"}, kFinal}},
      {"IDirectDraw::CreateSurface=0x88760999@2",
       {{"ERROR", "CreateOffscreen FAILED"}, {"DirectDraw Error", "Unknown Error"}, kFinal}},
      {"IDirectDraw::CreateClipper=0x80004005", {{"ERROR", "CreateClipper FAILED"}, kFinal}},
      {"IDirectDrawClipper::SetHWnd=0x80004005", {{"ERROR", "SetHWnd FAILED"}, kFinal}},
      {"IDirectDrawSurface::SetClipper=0x80004005@1", {{"ERROR", "SetClipper FAILED"}, kFinal}},
      {"IDirectDrawSurface::SetClipper=0x80004005@2", {{"ERROR", "SetClipper FAILED"}, kFinal}},
      {"IDirectDrawSurface::SetClipper=0x80004005@3", {{"ERROR", "SetClipper FAILED"}, kFinal}},
  };
  for (const SetUpFailure& failure : failures) {
    SCOPED_TRACE(failure.fault);
    KazeRun run = RunKaze({"--fault", failure.fault, "--until", "5000"});
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_EQ(Boxes(run), failure.boxes);
    const TraceLine* exit = Last(run.trace, "exit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->Int("code"), 0);
    EXPECT_EQ(exit->Int("flips"), 0);  // no scenario ran
    EXPECT_LT(exit->t, 5000);          // it ended by itself, not by --until
    // What was made before the failure is released, and the window goes.
    for (const TraceLine& line : Events(run.trace, "ddraw")) {
      if (line.Str("op") != "release") continue;
      EXPECT_EQ(line.Int("refs"), line.Str("object") == "backbuffer" ? 1 : 0) << line.text;
    }
    EXPECT_EQ(Events(run.trace, "window").size(), 1u);
  }
}

TEST(DisplaySetUp, SurfaceErrorNamesAlsoGoToTheDebuggerOutput) {
  KazeRun run = RunKaze({"--fault", "IDirectDraw::CreateSurface=0x8876017C@1"});
  auto debug = Events(run.trace, "debug");
  ASSERT_EQ(debug.size(), 1u);
  EXPECT_EQ(debug[0].Str("text"), "DDERR_OUTOFVIDEOMEMORY");
}

TEST(DisplaySetUp, AGameThreadThatCannotStartEndsTheProgramWithoutAMessage) {
  KazeRun run = RunKaze({"--fault", "_beginthread=-1", "--until", "5000"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(Events(run.trace, "msgbox").empty());
  const TraceLine* exit = Last(run.trace, "exit");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->Int("flips"), 1);  // the set-up's black frame
  EXPECT_LT(exit->t, 5000);
}

TEST(DisplaySetUp, NoWindowClassOrNoWindowEndsAtOnceWithCodeZero) {
  for (const char* fault : {"RegisterClassA=0", "CreateWindowExA=0"}) {
    SCOPED_TRACE(fault);
    KazeRun run = RunKaze({"--fault", fault, "--until", "5000"});
    EXPECT_EQ(run.exitCode, 0);
    const TraceLine* exit = Last(run.trace, "exit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->t, 0);
    EXPECT_TRUE(Events(run.trace, "msgbox").empty());
    EXPECT_TRUE(Events(run.trace, "ddraw").empty());
  }
}

}  // namespace
}  // namespace kaze::test
