#pragma once

namespace mksamples {

// How to play, as readme.txt beside the game; UTF-8.
extern const char readme[];

} // namespace mksamples
