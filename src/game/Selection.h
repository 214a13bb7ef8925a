#pragma once

#include <cstdint>

namespace vellumi {

// What the player chooses between games: the difficulty and the picture.

// 3 → 4 → 5 → 6 → 3; any other size is left as it is.
std::int16_t nextGridSize(std::int16_t gridSize);
// The other way round: 6 → 5 → 4 → 3 → 6.
std::int16_t previousGridSize(std::int16_t gridSize);

// Pictures are numbered 1 … picCount and both directions wrap around. Worked in a wider type,
// so that stepping on from picture 32767 wraps instead of overflowing.
std::int16_t nextPicture(std::int16_t picNo, std::int16_t picCount);
std::int16_t previousPicture(std::int16_t picNo, std::int16_t picCount);

} // namespace vellumi
