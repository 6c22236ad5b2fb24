// The opening: five parts that repeat, with black pauses between them, until the player clicks. Returns 1.
#pragma once

int PlayOpening();
