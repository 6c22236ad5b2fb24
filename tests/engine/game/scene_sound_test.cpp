// The sound switch across the cycle: whatever the story left it at, the
// intro and the opening each switch it back on before they play anything.
#include <gtest/gtest.h>

#include "game/fade.h"
#include "game/scenes.h"
#include "sound/effects.h"
#include "support/opening_data.h"
#include "support/scenario_fixture.h"

namespace kaze::test {
namespace {

class SceneSound : public ScenarioTest {};

void IntroWithTheSoundOff() {
  LoadEffects();
  InitFadeVolumeTable();
  SoundEnabled = 0;  // as the story's sound button leaves it
  PlayIntroSequence();
}

void OpeningWithTheSoundOff() {
  LoadEffects();
  InitFadeVolumeTable();
  SoundEnabled = 0;
  PlayOpening();
}

TEST_F(SceneSound, TheIntroAndTheOpeningEachSwitchTheSoundBackOnBeforePlaying) {
  TempDir dir;
  SceneData data(dir.path());
  data.ScenePictures();
  WriteOpeningData(data);
  // The intro's tune starts after its second row, the opening's moth effect
  // with its third part: both within 11 s.
  struct Case {
    void (*scenario)();
    int effect;
  };
  for (const Case& c : {Case{IntroWithTheSoundOff, 8}, Case{OpeningWithTheSoundOff, 1}}) {
    SCOPED_TRACE(c.effect);
    ASSERT_EQ(PlayScenario(dir.path(), c.scenario, "", 11000), 0);
    const std::vector<TraceLine> plays = SoundOf(c.effect, "play");
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_TRUE(plays[0].Bool("loop"));
  }
}

}  // namespace
}  // namespace kaze::test
