// The program's orderly end as the trace shows it: after the game thread
// has gone, the cursor clip, the sound, the DirectDraw objects and the
// display mode, the synthesizer volume, the window.
//
//   EXPECT_EQ(TeardownSteps(run.trace, escapeTime), kTeardownSteps);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/kaze_run.h"

namespace kaze::test {

// The steps of the teardown that the trace holds from `from` on, one word
// group each ("release primary 0", "mixer write 32768", "window destroy").
std::vector<std::string> TeardownSteps(const std::vector<TraceLine>& trace, int64_t from);

// The order they must come in.
extern const std::vector<std::string> kTeardownSteps;

}  // namespace kaze::test
