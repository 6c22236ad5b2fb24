// The title: two vertical columns unrolled from the top, then faded out.
#pragma once

void PlayTitle();
