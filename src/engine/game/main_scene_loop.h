// The scenario: one cycle of scenes after another until the player quits.
#pragma once

// Runs on the game thread; returns only when the player confirmed quitting.
void MainSceneLoop();
